#include "platform/component_library.h"

namespace tarnwick::platform {

// No component library hosts the HTTP request object here.
void CoInitialize() {}
void CoUninitialize() {}

}  // namespace tarnwick::platform
