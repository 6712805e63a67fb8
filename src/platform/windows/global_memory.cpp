// The global memory functions of the platform, called as they are.
//
// The platform's headers spell RtlMoveMemory as a macro for memmove; the
// system's own export of that name is what is called here.
#include "platform/global_memory.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#undef RtlMoveMemory
extern "C" __declspec(dllimport) void WINAPI RtlMoveMemory(void* destination,
                                                          const void* source,
                                                          SIZE_T count);

namespace tarnwick::platform {

GlobalHandle GlobalAlloc(std::uint32_t flags, std::size_t bytes) {
  return ::GlobalAlloc(flags, bytes);
}

void* GlobalLock(GlobalHandle block) { return ::GlobalLock(block); }

bool GlobalUnlock(GlobalHandle block) { return ::GlobalUnlock(block) != FALSE; }

std::size_t GlobalSize(GlobalHandle block) { return ::GlobalSize(block); }

GlobalHandle GlobalFree(GlobalHandle block) { return ::GlobalFree(block); }

void RtlMoveMemory(void* destination, const void* source, std::size_t count) {
  ::RtlMoveMemory(destination, source, count);
}

}  // namespace tarnwick::platform
