// Global memory blocks over the heap. A handle is the address of the block's
// record; the set of live records tells a live handle from any other value.
#include "platform/global_memory.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>

namespace tarnwick::platform {
namespace {

struct Block {
  std::unique_ptr<std::uint8_t[]> bytes;
  std::size_t size = 0;
  std::uint32_t locks = 0;
};

struct Blocks {
  std::mutex mutex;
  std::unordered_map<GlobalHandle, std::unique_ptr<Block>> live;
};

Blocks& AllBlocks() {
  static Blocks* const blocks = new Blocks;  // lives as long as the process
  return *blocks;
}

// The record of a live handle; null otherwise. The caller holds the mutex.
Block* Find(Blocks& blocks, GlobalHandle handle) {
  const auto it = blocks.live.find(handle);
  return it == blocks.live.end() ? nullptr : it->second.get();
}

}  // namespace

GlobalHandle GlobalAlloc(std::uint32_t flags, std::size_t bytes) {
  auto block = std::unique_ptr<Block>(new (std::nothrow) Block);
  if (!block) return nullptr;
  if (bytes > 0) {
    block->bytes.reset((flags & kGmemZeroInit) != 0
                           ? new (std::nothrow) std::uint8_t[bytes]()
                           : new (std::nothrow) std::uint8_t[bytes]);
    if (!block->bytes) return nullptr;
  }
  block->size = bytes;
  GlobalHandle handle = block.get();
  Blocks& blocks = AllBlocks();
  const std::lock_guard lock(blocks.mutex);
  blocks.live.emplace(handle, std::move(block));
  return handle;
}

void* GlobalLock(GlobalHandle block) {
  Blocks& blocks = AllBlocks();
  const std::lock_guard lock(blocks.mutex);
  Block* found = Find(blocks, block);
  if (found == nullptr || found->size == 0) return nullptr;
  ++found->locks;
  return found->bytes.get();
}

bool GlobalUnlock(GlobalHandle block) {
  Blocks& blocks = AllBlocks();
  const std::lock_guard lock(blocks.mutex);
  Block* found = Find(blocks, block);
  if (found == nullptr || found->locks == 0) return false;
  --found->locks;
  return found->locks > 0;
}

std::size_t GlobalSize(GlobalHandle block) {
  Blocks& blocks = AllBlocks();
  const std::lock_guard lock(blocks.mutex);
  const Block* found = Find(blocks, block);
  return found == nullptr ? 0 : found->size;
}

GlobalHandle GlobalFree(GlobalHandle block) {
  Blocks& blocks = AllBlocks();
  const std::lock_guard lock(blocks.mutex);
  return blocks.live.erase(block) == 1 ? nullptr : block;
}

void RtlMoveMemory(void* destination, const void* source, std::size_t count) {
  if (count > 0) std::memmove(destination, source, count);
}

}  // namespace tarnwick::platform
