// The component library of the platform, for the calling thread.
#include "platform/component_library.h"

#define WIN32_LEAN_AND_MEAN
#include <objbase.h>

namespace tarnwick::platform {

void CoInitialize() { static_cast<void>(::CoInitialize(nullptr)); }

void CoUninitialize() { ::CoUninitialize(); }

}  // namespace tarnwick::platform
