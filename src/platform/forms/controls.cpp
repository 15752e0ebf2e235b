// Accelerator marks in captions.
#include "platform/forms/controls.h"

#include <cctype>

char AcceleratorOf(const std::string& Caption) {
  for (std::size_t i = 0; i + 1 < Caption.size(); ++i) {
    if (Caption[i] != '&') continue;
    if (Caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::tolower(static_cast<unsigned char>(Caption[i + 1])));
  }
  return 0;
}

std::string DisplayCaption(const std::string& Caption) {
  std::string shown;
  for (std::size_t i = 0; i < Caption.size(); ++i) {
    if (Caption[i] == '&' && i + 1 < Caption.size()) ++i;
    shown += Caption[i];
  }
  return shown;
}
