// The platform's global memory blocks, the currency of the clipboard. On
// Windows these are GlobalAlloc and its companions; elsewhere they are our own
// heap blocks with the same contracts:
//
// - a block is reached only through its handle: GlobalLock gives its bytes,
//   whatever flags it was allocated with;
// - a handle that does not name a live block (null, freed, made up) is
//   refused: the call has no effect and returns its failure value;
// - every call may be made from any thread.
#ifndef TARNWICK_PLATFORM_GLOBAL_MEMORY_H_
#define TARNWICK_PLATFORM_GLOBAL_MEMORY_H_

#include <cstddef>
#include <cstdint>

namespace tarnwick::platform {

using GlobalHandle = void*;

// Allocation flags.
inline constexpr std::uint32_t kGmemMoveable = 0x0002;
inline constexpr std::uint32_t kGmemZeroInit = 0x0040;

// A new block of `bytes` bytes, zero-filled only with kGmemZeroInit. Null when
// the memory cannot be had. A block of 0 bytes is a live block with no bytes.
GlobalHandle GlobalAlloc(std::uint32_t flags, std::size_t bytes);

// The first byte of the block, and one more lock on it; null for a block of
// 0 bytes or a refused handle. The pointer stays valid until the block is
// freed.
void* GlobalLock(GlobalHandle block);

// Takes one lock off the block. True while locks remain; false when this was
// the last one, when there was none, or for a refused handle.
bool GlobalUnlock(GlobalHandle block);

// The size the block was allocated with; 0 for a refused handle.
std::size_t GlobalSize(GlobalHandle block);

// Frees the block. Null on success; the handle itself when it is refused.
GlobalHandle GlobalFree(GlobalHandle block);

// Copies `count` bytes from `source` to `destination`; the ranges may
// overlap. Nothing happens for a count of 0.
void RtlMoveMemory(void* destination, const void* source, std::size_t count);

}  // namespace tarnwick::platform

#endif  // TARNWICK_PLATFORM_GLOBAL_MEMORY_H_
