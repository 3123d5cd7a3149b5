// Global memory: GlobalAlloc and friends.
//
// A movable block lives behind a handle from a HandleTable, so its data
// can move while the handle stays put; a fixed block's handle is its
// data pointer, as on Windows. Every block keeps a capacity larger than
// its size (twice the size when it is (re)allocated), so a block that
// grows in small steps moves only O(log n) times, and a locked block that
// may not move can still grow in place as Windows often lets it.
//
// Large blocks (a ticker's text streamed in, megabytes in 1 KiB steps)
// get pages of their own instead of heap memory: huge pages where the
// system gives them, so that first touching the block costs one fault
// per 2 MiB rather than one per 4 KiB, and growth that moves the block
// remaps its pages instead of copying them.
#include "internal/handles.h"
#include "internal/kernel_internal.h"
#include "internal/object_counts.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

namespace {

struct Block {
    char* data = nullptr;  // nullptr when a movable block is discarded
    size_t size = 0;       // what GlobalSize reports
    size_t capacity = 0;   // bytes allocated behind data
    bool mapped = false;   // data is pages of its own (mmap), not heap memory
    unsigned locks = 0;    // movable blocks only
    bool discardable = false;
};

struct GlobalHeap {
    qpm::HandleTable<Block> movable{qpm::HandleTag::GlobalMemory};
    std::unordered_map<const void*, uintptr_t> movableByData;  // data pointer -> handle
    std::unordered_map<const void*, Block> fixed;              // keyed by data == handle
};

GlobalHeap& Heap() {
    static GlobalHeap* heap = new GlobalHeap;  // never destroyed: blocks may outlive statics
    return *heap;
}

size_t CapacityFor(size_t bytes) {
    if (bytes < 16) return 32;
    return bytes > SIZE_MAX / 2 ? bytes : bytes * 2;
}

uintptr_t Key(HGLOBAL mem) { return reinterpret_cast<uintptr_t>(mem); }

Block* FindMovable(HGLOBAL mem) { return Heap().movable.Get(Key(mem)); }

Block* FindFixed(HGLOBAL mem) {
    auto it = Heap().fixed.find(mem);
    return it == Heap().fixed.end() ? nullptr : &it->second;
}

// Capacities from this size on are mapped, in whole huge pages.
constexpr size_t kMappedFrom = size_t(4) << 20;
constexpr size_t kHugePage = size_t(2) << 20;

void FreeStorage(Block* block) {
    if (block->mapped)
        munmap(block->data, block->capacity);
    else
        free(block->data);
    block->data = nullptr;
    block->capacity = 0;
    block->mapped = false;
}

// New storage of `capacity` bytes holding the block's first `keep` bytes.
bool MoveStorage(Block* block, size_t capacity, bool mapped, size_t keep) {
    void* data = nullptr;
    if (mapped) {
        data = mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (data == MAP_FAILED) return false;
        madvise(data, capacity, MADV_HUGEPAGE);  // a hint: fine if the system ignores it
    } else {
        data = malloc(capacity);
        if (!data) return false;
    }
    if (block->data) memcpy(data, block->data, std::min(keep, capacity));
    FreeStorage(block);
    block->data = static_cast<char*>(data);
    block->capacity = capacity;
    block->mapped = mapped;
    return true;
}

// Resizes the block's storage to `capacity` bytes of the same kind,
// without copying; false (block unchanged) when that cannot be done.
bool ResizeStorage(Block* block, size_t capacity) {
    void* data;
    if (block->mapped) {
        data = mremap(block->data, block->capacity, capacity, MREMAP_MAYMOVE);
        if (data == MAP_FAILED) return false;
    } else {
        data = realloc(block->data, capacity);
        if (!data) return false;
    }
    block->data = static_cast<char*>(data);
    block->capacity = capacity;
    return true;
}

bool StoreIn(Block* block, size_t capacity, size_t keep) {
    const bool mapped = capacity >= kMappedFrom;
    if (mapped && capacity > SIZE_MAX - kHugePage) return false;  // no such memory anyway
    if (mapped) capacity = (capacity + kHugePage - 1) & ~(kHugePage - 1);
    if (block->data == nullptr || block->mapped != mapped)
        return MoveStorage(block, capacity, mapped, keep);
    return ResizeStorage(block, capacity);
}

// Moves or allocates the block's storage to hold `bytes`, keeping what
// it holds up to its size; false (block unchanged) when that fails.
bool Reallocate(Block* block, size_t bytes) {
    const size_t capacity = CapacityFor(bytes);
    if (StoreIn(block, capacity, block->size)) return true;
    return capacity > bytes && StoreIn(block, bytes, block->size);  // no slack then
}

// Sets the size, zeroing the grown part when asked. Storage must fit.
void Resize(Block* block, size_t bytes, UINT flags) {
    if (bytes > block->size && (flags & GMEM_ZEROINIT))
        memset(block->data + block->size, 0, bytes - block->size);
    block->size = bytes;
}

// A block that shrank far below its capacity gives memory back, but only
// when nothing holds a pointer into it.
void ReleaseSlack(Block* block) {
    if (block->locks == 0 && block->capacity > 4096 && block->size < block->capacity / 4)
        Reallocate(block, block->size);  // failure keeps the larger storage
}

bool Grow(Block* block, size_t bytes, bool mayMove) {
    if (bytes <= block->capacity) return true;
    if (!mayMove) return false;
    return Reallocate(block, bytes);
}

HGLOBAL AllocFixed(size_t bytes, UINT flags) {
    Block block;
    if (bytes == 0) bytes = 1;  // Windows reports a zero-byte fixed block as 1 byte
    if (!Reallocate(&block, bytes)) return nullptr;
    block.size = bytes;
    if (flags & GMEM_ZEROINIT) memset(block.data, 0, bytes);
    HGLOBAL handle = block.data;
    Heap().fixed.emplace(handle, block);
    return handle;
}

// Handles index at most 2^20 - 1 live blocks.
constexpr size_t kMaxMovableBlocks = (1u << 20) - 1;

HGLOBAL AllocMovable(size_t bytes, UINT flags) {
    if (Heap().movable.Count() >= kMaxMovableBlocks) return nullptr;
    auto block = std::make_unique<Block>();
    block->discardable = (flags & GMEM_DISCARDABLE) != 0;
    if (bytes > 0) {
        if (!Reallocate(block.get(), bytes)) return nullptr;
        block->size = bytes;
        if (flags & GMEM_ZEROINIT) memset(block->data, 0, bytes);
    }
    char* data = block->data;
    uintptr_t handle = Heap().movable.Add(std::move(block));
    if (data) Heap().movableByData[data] = handle;
    return reinterpret_cast<HGLOBAL>(handle);  // NOLINT(performance-no-int-to-ptr): opaque
}

HGLOBAL FailAllocation() {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

// Keeps the data-pointer index right around a change of storage.
template <class Fn>
bool ChangeMovableStorage(HGLOBAL mem, Block* block, Fn&& change) {
    char* before = block->data;
    bool ok = change();
    if (block->data != before) {
        if (before) Heap().movableByData.erase(before);
        if (block->data) Heap().movableByData[block->data] = Key(mem);
    }
    return ok;
}

// Discarding frees the data but keeps the handle; a locked block cannot be.
bool Discard(Block* block) {
    if (block->locks > 0) return false;
    FreeStorage(block);
    block->size = 0;
    return true;
}

bool ResizeMovable(Block* block, size_t bytes, UINT flags) {
    if (bytes == 0) return Discard(block);
    bool mayMove = block->locks == 0 || (flags & GMEM_MOVEABLE);
    if (!Grow(block, bytes, mayMove)) return false;
    Resize(block, bytes, flags);
    ReleaseSlack(block);
    return true;
}

HGLOBAL ReAllocMovable(HGLOBAL mem, Block* block, size_t bytes, UINT flags) {
    bool ok = ChangeMovableStorage(mem, block, [&] { return ResizeMovable(block, bytes, flags); });
    if (!ok) return FailAllocation();
    QPM_TRACE("mem", "GlobalReAlloc(%p, %zu) movable -> %p", mem, bytes, block->data);
    return mem;
}

HGLOBAL ReAllocFixed(HGLOBAL mem, Block* block, size_t bytes, UINT flags) {
    if (bytes == 0) bytes = 1;
    if (bytes <= block->capacity) {
        Resize(block, bytes, flags);
        return mem;
    }
    if (!(flags & GMEM_MOVEABLE)) return FailAllocation();
    Block moved = *block;
    if (!Reallocate(&moved, bytes)) return FailAllocation();
    Resize(&moved, bytes, flags);
    Heap().fixed.erase(mem);
    Heap().fixed.emplace(moved.data, moved);
    QPM_TRACE("mem", "GlobalReAlloc(%p, %zu) fixed -> %p", mem, bytes, moved.data);
    return moved.data;
}

void SetInvalidHandle() { SetLastError(ERROR_INVALID_HANDLE); }

}  // namespace

size_t qpm::CountGlobalBlocks() { return Heap().movable.Count() + Heap().fixed.size(); }

HGLOBAL WINAPI GlobalAlloc(UINT flags, size_t bytes) {
    if (qpm::InjectedFailure(QPM_FAULT_GLOBALALLOC)) return FailAllocation();
    HGLOBAL mem = (flags & GMEM_MOVEABLE) ? AllocMovable(bytes, flags) : AllocFixed(bytes, flags);
    if (!mem) return FailAllocation();
    QPM_TRACE("mem", "GlobalAlloc(0x%x, %zu) -> %p", flags, bytes, mem);
    return mem;
}

HGLOBAL WINAPI GlobalReAlloc(HGLOBAL mem, size_t bytes, UINT flags) {
    if (qpm::InjectedFailure(QPM_FAULT_GLOBALALLOC)) return FailAllocation();
    if (Block* fixed = FindFixed(mem)) {
        if (flags & GMEM_MODIFY) return mem;
        return ReAllocFixed(mem, fixed, bytes, flags);
    }
    if (Block* block = FindMovable(mem)) {
        if (flags & GMEM_MODIFY) {
            block->discardable = (flags & GMEM_DISCARDABLE) != 0;
            return mem;
        }
        return ReAllocMovable(mem, block, bytes, flags);
    }
    SetInvalidHandle();
    return nullptr;
}

LPVOID WINAPI GlobalLock(HGLOBAL mem) {
    if (!mem) return nullptr;
    if (FindFixed(mem)) return mem;
    Block* block = FindMovable(mem);
    if (!block) {
        SetInvalidHandle();
        return nullptr;
    }
    if (!block->data) {
        SetLastError(ERROR_DISCARDED);
        return nullptr;
    }
    ++block->locks;
    return block->data;
}

BOOL WINAPI GlobalUnlock(HGLOBAL mem) {
    if (FindFixed(mem)) return TRUE;
    Block* block = FindMovable(mem);
    if (!block) {
        SetInvalidHandle();
        return FALSE;
    }
    if (block->locks == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    if (--block->locks > 0) return TRUE;
    SetLastError(ERROR_SUCCESS);  // "now unlocked" is told apart from failure this way
    return FALSE;
}

HGLOBAL WINAPI GlobalHandle(LPCVOID pointer) {
    if (pointer && Heap().fixed.count(pointer)) return const_cast<LPVOID>(pointer);
    auto it = pointer ? Heap().movableByData.find(pointer) : Heap().movableByData.end();
    if (it == Heap().movableByData.end()) {
        SetInvalidHandle();
        return nullptr;
    }
    return reinterpret_cast<HGLOBAL>(it->second);  // NOLINT(performance-no-int-to-ptr): opaque
}

HGLOBAL WINAPI GlobalFree(HGLOBAL mem) {
    if (!mem) return nullptr;
    auto fixed = Heap().fixed.find(mem);
    if (fixed != Heap().fixed.end()) {
        FreeStorage(&fixed->second);
        Heap().fixed.erase(fixed);
        return nullptr;
    }
    std::unique_ptr<Block> block = Heap().movable.Remove(Key(mem));
    if (!block) {
        SetInvalidHandle();
        return mem;
    }
    if (block->data) Heap().movableByData.erase(block->data);
    FreeStorage(block.get());  // even when locked, as Windows does
    QPM_TRACE("mem", "GlobalFree(%p)", mem);
    return nullptr;
}

size_t WINAPI GlobalSize(HGLOBAL mem) {
    if (!mem) return 0;
    if (Block* fixed = FindFixed(mem)) return fixed->size;
    if (Block* block = FindMovable(mem)) return block->size;
    SetInvalidHandle();
    return 0;
}

UINT WINAPI GlobalFlags(HGLOBAL mem) {
    if (FindFixed(mem)) return 0;
    Block* block = FindMovable(mem);
    if (!block) {
        SetInvalidHandle();
        return GMEM_INVALID_HANDLE;
    }
    UINT flags = block->locks > GMEM_LOCKCOUNT ? GMEM_LOCKCOUNT : block->locks;
    if (!block->data) flags |= GMEM_DISCARDED;
    if (block->discardable) flags |= GMEM_DISCARDABLE;
    return flags;
}
