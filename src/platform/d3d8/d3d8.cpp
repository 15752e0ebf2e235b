// Backend selection: the game draws with OpenGL, unit tests record.
#include "platform/d3d8/d3d8.h"

#include "platform/d3d8/gl/gl_device.h"
#include "platform/d3d8/record/record_device.h"

namespace {
TD3D8Backend SelectedBackend = TD3D8Backend::OpenGL;
}

void D3D8SelectBackend(TD3D8Backend Backend) { SelectedBackend = Backend; }

TD3D8Backend D3D8CurrentBackend() { return SelectedBackend; }

IDirect3D8* Direct3DCreate8(UINT SDKVersion) {
  if (SDKVersion != D3D_SDK_VERSION) return nullptr;
  if (SelectedBackend == TD3D8Backend::Recording) {
    if (RecordConfig().FailCreate) return nullptr;
    return new TRecordD3D();
  }
  return CreateGLDirect3D8();
}
