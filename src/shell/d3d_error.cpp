// Direct3D result codes and their messages.
#include "shell/d3d_error.h"

#include "platform/d3d8/d3d8.h"

std::string D3DErrorText(std::int32_t Code) {
  switch (Code) {
    case D3D_OK: return "No error occurred.";
    case E_FAIL: return "An undetermined error occurred inside the Direct3D subsystem.";
    case E_OUTOFMEMORY: return "Direct3D could not allocate sufficient memory to complete the call.";
    case E_INVALIDARG: return "An invalid parameter was passed to the returning function";
    case D3DERR_OUTOFVIDEOMEMORY: return "Direct3D does not have enough display memory to perform the operation.";
    case D3DERR_WRONGTEXTUREFORMAT: return "The pixel format of the texture surface is not valid.";
    case D3DERR_UNSUPPORTEDCOLOROPERATION:
      return "The device does not support a specified texture-blending operation for color values.";
    case D3DERR_UNSUPPORTEDCOLORARG:
      return "The device does not support a specified texture-blending argument for color values.";
    case D3DERR_UNSUPPORTEDALPHAOPERATION:
      return "The device does not support a specified texture-blending operation for the alpha channel.";
    case D3DERR_UNSUPPORTEDALPHAARG:
      return "The device does not support a specified texture-blending argument for the alpha channel.";
    case D3DERR_TOOMANYOPERATIONS:
      return "The application is requesting more texture-filtering operations than the device";
    case D3DERR_CONFLICTINGTEXTUREFILTER: return "The current texture filters cannot be used together.";
    case D3DERR_UNSUPPORTEDFACTORVALUE: return "The device does not support the specified texture factor value.";
    case D3DERR_CONFLICTINGRENDERSTATE: return "The currently set render states cannot be used together.";
    case D3DERR_UNSUPPORTEDTEXTUREFILTER: return "The device does not support the specified texture filter.";
    case D3DERR_CONFLICTINGTEXTUREPALETTE:
      return "The current textures cannot be used simultaneously. This generally occurs when a multitexture "
             "device requires that all palletized textures simultaneously enabled also share the same palette.";
    case D3DERR_DRIVERINTERNALERROR: return "Internal driver error.";
    case D3DERR_NOTFOUND: return "The requested item was not found.";
    case D3DERR_MOREDATA: return "There is more data available than the specified buffer size can hold.";
    case D3DERR_DEVICELOST:
      return "The device is lost and cannot be restored at the current time, so rendering is not possible.";
    case D3DERR_DEVICENOTRESET: return "The device cannot be reset.";
    case D3DERR_NOTAVAILABLE: return "This device does not support the queried technique.";
    case D3DERR_INVALIDDEVICE: return "The requested device type is not valid.";
    case D3DERR_INVALIDCALL: return "The method call is invalid. For example, a method's parameter may have an invalid value.";
    default: return "Unrecognized Error";
  }
}
