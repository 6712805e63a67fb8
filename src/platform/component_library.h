// The component library that hosts the platform's HTTP request object.
// On Windows these are CoInitialize(nullptr) / CoUninitialize(); elsewhere
// there is no component library and they do nothing. Results are ignored.
#ifndef TARNWICK_PLATFORM_COMPONENT_LIBRARY_H_
#define TARNWICK_PLATFORM_COMPONENT_LIBRARY_H_

namespace tarnwick::platform {

void CoInitialize();
void CoUninitialize();

}  // namespace tarnwick::platform

#endif  // TARNWICK_PLATFORM_COMPONENT_LIBRARY_H_
