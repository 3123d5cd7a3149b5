// Global memory: handles, locks, reallocation rules and growth cost.
#include <gtest/gtest.h>
#include <qpm_platform.h>
#include <windows.h>
#include "support/host_extensions.h"

#include <cstring>
#include <string>

namespace {

UINT LockCount(HGLOBAL h) { return GlobalFlags(h) & GMEM_LOCKCOUNT; }

bool AllZero(const char* p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (p[i]) return false;
    return true;
}

TEST(GlobalMemory, MovableBlockHandleIsNotItsDataAndLocksCount) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 100);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalFlags(h), 0u);
    EXPECT_EQ(GlobalSize(h), 100u);
    char* p = static_cast<char*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    EXPECT_NE(static_cast<void*>(p), h);
    EXPECT_TRUE(AllZero(p, 100));
    EXPECT_EQ(GlobalLock(h), p);  // same pointer while locked
    EXPECT_EQ(LockCount(h), 2u);

    EXPECT_EQ(GlobalHandle(p), h);
    EXPECT_EQ(GlobalHandle(p + 10), nullptr);  // interior pointers are not blocks

    SetLastError(0xDEAD);
    EXPECT_EQ(GlobalUnlock(h), TRUE);  // 2 -> 1: still locked
    EXPECT_EQ(GetLastError(), 0xDEADu);
    EXPECT_EQ(GlobalUnlock(h), FALSE);  // 1 -> 0: FALSE with no error
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_EQ(GlobalUnlock(h), FALSE);  // not locked at all
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_LOCKED));
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST(GlobalMemory, LockedBlockGrowsInPlaceOrFailsWithoutMoveable) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 100);
    char* p = static_cast<char*>(GlobalLock(h));
    GlobalLock(h);
    memset(p, 'x', 100);

    EXPECT_EQ(GlobalReAlloc(h, 200, 0), h);  // fits behind the block: in place
    EXPECT_EQ(GlobalSize(h), 200u);
    EXPECT_EQ(LockCount(h), 2u);

    SetLastError(0);
    EXPECT_EQ(GlobalReAlloc(h, 1 << 20, 0), nullptr);  // would have to move: refused
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(GlobalSize(h), 200u);
    EXPECT_EQ(LockCount(h), 2u);

    EXPECT_EQ(GlobalReAlloc(h, 50, 0), h);  // shrinking always works
    EXPECT_EQ(GlobalSize(h), 50u);
    EXPECT_EQ(GlobalLock(h), p);  // and never moved the locked block
    EXPECT_EQ(p[49], 'x');
    GlobalFree(h);
}

TEST(GlobalMemory, MoveableFlagMovesEvenALockedBlock) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 200);
    char* p = static_cast<char*>(GlobalLock(h));
    GlobalLock(h);
    memcpy(p, "keep", 5);
    EXPECT_EQ(GlobalReAlloc(h, 1 << 20, GMEM_MOVEABLE | GMEM_ZEROINIT), h);
    EXPECT_EQ(LockCount(h), 2u);
    char* q = static_cast<char*>(GlobalLock(h));
    EXPECT_STREQ(q, "keep");
    EXPECT_TRUE(AllZero(q + 200, (1 << 20) - 200));
    EXPECT_EQ(GlobalHandle(q), h);
    EXPECT_EQ(GlobalFree(h), nullptr);  // freed although locked
}

TEST(GlobalMemory, GrowthKeepsOldBytesAndZeroesNewOnesWhenAsked) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 64);
    char* p = static_cast<char*>(GlobalLock(h));
    memset(p, 'a', 64);
    GlobalUnlock(h);
    ASSERT_EQ(GlobalReAlloc(h, 100000, GMEM_ZEROINIT), h);
    p = static_cast<char*>(GlobalLock(h));
    EXPECT_EQ(std::string(p, 64), std::string(64, 'a'));
    EXPECT_TRUE(AllZero(p + 64, 100000 - 64));

    // Shrink and grow again inside the capacity: the grown part is zeroed
    // with GMEM_ZEROINIT even though the old bytes are still behind it.
    memset(p, 'b', 100000);
    ASSERT_EQ(GlobalReAlloc(h, 10, 0), h);
    ASSERT_EQ(GlobalReAlloc(h, 1000, GMEM_ZEROINIT), h);
    EXPECT_EQ(GlobalSize(h), 1000u);
    EXPECT_EQ(p[9], 'b');
    EXPECT_TRUE(AllZero(p + 10, 990));
    GlobalFree(h);
}

TEST(GlobalMemory, SizesAreExactlyWhatWasAsked) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 7);
    EXPECT_EQ(GlobalSize(h), 7u);
    GlobalReAlloc(h, 12345, GMEM_MOVEABLE);
    EXPECT_EQ(GlobalSize(h), 12345u);
    GlobalReAlloc(h, 7, GMEM_MOVEABLE);
    EXPECT_EQ(GlobalSize(h), 7u);
    GlobalFree(h);
    EXPECT_EQ(GlobalSize(nullptr), 0u);
    EXPECT_EQ(GlobalLock(nullptr), nullptr);
}

TEST(GlobalMemory, ZeroSizeMeansDiscarded) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalFlags(h), UINT(GMEM_DISCARDED));
    EXPECT_EQ(GlobalSize(h), 0u);
    SetLastError(0);
    EXPECT_EQ(GlobalLock(h), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DISCARDED));

    EXPECT_EQ(GlobalReAlloc(h, 32, GMEM_MOVEABLE | GMEM_ZEROINIT), h);  // brought back
    EXPECT_EQ(GlobalFlags(h), 0u);
    EXPECT_EQ(GlobalSize(h), 32u);
    EXPECT_EQ(GlobalReAlloc(h, 0, GMEM_MOVEABLE), h);  // and discarded again
    EXPECT_EQ(GlobalFlags(h), UINT(GMEM_DISCARDED));
    EXPECT_EQ(GlobalLock(h), nullptr);

    HGLOBAL locked = GlobalAlloc(GMEM_MOVEABLE, 16);
    GlobalLock(locked);
    EXPECT_EQ(GlobalReAlloc(locked, 0, GMEM_MOVEABLE), nullptr);  // a locked block stays
    EXPECT_EQ(GlobalSize(locked), 16u);
    GlobalFree(locked);
    GlobalFree(h);
}

TEST(GlobalMemory, FreedHandleIsInvalidAfterwards) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 10);
    GlobalLock(h);
    EXPECT_EQ(GlobalFree(h), nullptr);
    SetLastError(0);
    EXPECT_EQ(GlobalFlags(h), UINT(GMEM_INVALID_HANDLE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    SetLastError(0);
    EXPECT_EQ(GlobalFree(h), h);  // failure returns the handle
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GlobalLock(h), nullptr);
    EXPECT_EQ(GlobalReAlloc(h, 20, GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GlobalFree(nullptr), nullptr);
}

// A stale handle must never reach another block.
TEST(GlobalMemory, AFreedHandleIsNeverGivenOutAgain) {
    QPM_LAYER_CHOICE("Windows gives the next block the freed handle's value");
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 10);
    GlobalFree(h);
    HGLOBAL next = GlobalAlloc(GMEM_MOVEABLE, 10);  // may reuse the slot...
    EXPECT_NE(next, h);                             // ...but never the handle
    EXPECT_EQ(GlobalSize(h), 0u);
    GlobalFree(next);
}

TEST(GlobalMemory, FixedBlockHandleIsItsPointer) {
    HGLOBAL h = GlobalAlloc(GMEM_FIXED, 40);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalLock(h), h);
    EXPECT_EQ(GlobalHandle(h), h);
    EXPECT_EQ(GlobalFlags(h), 0u);  // no lock count on fixed blocks
    EXPECT_EQ(GlobalUnlock(h), TRUE);
    EXPECT_EQ(GlobalSize(h), 40u);

    memcpy(h, "fixed", 6);
    SetLastError(0);
    EXPECT_EQ(GlobalReAlloc(h, 1 << 20, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
    HGLOBAL moved = GlobalReAlloc(h, 1 << 20, GMEM_MOVEABLE);
    ASSERT_NE(moved, nullptr);
    EXPECT_NE(moved, h);  // the handle is the pointer, so it changes
    EXPECT_STREQ(static_cast<char*>(moved), "fixed");
    EXPECT_EQ(GlobalSize(moved), size_t(1 << 20));
    EXPECT_EQ(GlobalFree(moved), nullptr);

    HGLOBAL empty = GlobalAlloc(GMEM_FIXED, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(GlobalSize(empty), 1u);
    EXPECT_EQ(GlobalLock(empty), empty);
    GlobalFree(empty);
}

// A text store grows by 1 KiB at a time up to 16 MiB. Growth must be
// amortised: the block needs new storage only O(log n) times. A locked
// block without GMEM_MOVEABLE can grow only where it is, so counting the
// steps that cannot measures exactly that, whatever malloc does.
TEST(GlobalMemory, SteadyGrowthRarelyNeedsNewStorage) {
    QPM_LAYER_CHOICE("Windows' heap moves a growing block far more often (242 times here)");
    const size_t kStep = 1024, kLimit = 16u << 20;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kStep);
    char* p = static_cast<char*>(GlobalLock(h));
    size_t relocations = 0;
    for (size_t size = 2 * kStep; size <= kLimit; size += kStep) {
        if (GlobalReAlloc(h, size, GMEM_ZEROINIT) == h) {
            ASSERT_EQ(GlobalLock(h), p);  // grown in place
            GlobalUnlock(h);
        } else {
            ++relocations;
            ASSERT_EQ(GlobalReAlloc(h, size, GMEM_MOVEABLE | GMEM_ZEROINIT), h);
            GlobalUnlock(h);
            p = static_cast<char*>(GlobalLock(h));
        }
        ASSERT_EQ(p[size - 1], 0);  // the grown part is usable and zeroed
        p[size - 1] = 1;
    }
    EXPECT_LE(relocations, 16u) << "a 16 MiB growth in 1 KiB steps needed new storage "
                                << relocations << " times";
    EXPECT_EQ(GlobalSize(h), kLimit);
    EXPECT_EQ(LockCount(h), 1u);
    GlobalFree(h);
}

// Blocks of many megabytes are stored differently from small ones; a
// block that grows into that range and shrinks out of it again keeps
// its bytes at every step, and its data pointer still finds its handle.
TEST(GlobalMemory, BlocksKeepTheirBytesGrowingLargeAndSmallAgain) {
    const auto fill = [](char* p, size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) p[i] = char(i * 31 % 251);
    };
    const auto same = [](const char* p, size_t to) {
        for (size_t i = 0; i < to; ++i)
            if (p[i] != char(i * 31 % 251)) return false;
        return true;
    };
    const size_t sizes[] = {size_t(1) << 20,  size_t(3) << 20, size_t(9) << 20,
                            size_t(24) << 20, size_t(5) << 20, size_t(100) << 10};
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 64);
    size_t filled = 0;
    for (size_t size : sizes) {
        ASSERT_EQ(GlobalReAlloc(h, size, 0), h) << size;
        char* p = static_cast<char*>(GlobalLock(h));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(GlobalHandle(p), h);
        EXPECT_TRUE(same(p, std::min(filled, size))) << size;
        fill(p, std::min(filled, size), size);
        filled = size;
        GlobalUnlock(h);
    }
    EXPECT_EQ(GlobalFree(h), nullptr);

    HGLOBAL fixed = GlobalAlloc(GMEM_FIXED, 1 << 20);
    fill(static_cast<char*>(fixed), 0, 1 << 20);
    HGLOBAL moved = GlobalReAlloc(fixed, size_t(12) << 20, GMEM_MOVEABLE | GMEM_ZEROINIT);
    ASSERT_NE(moved, nullptr);
    EXPECT_TRUE(same(static_cast<char*>(moved), 1 << 20));
    EXPECT_TRUE(AllZero(static_cast<char*>(moved) + (1 << 20), (size_t(11) << 20)));
    EXPECT_EQ(GlobalHandle(moved), moved);
    EXPECT_EQ(GlobalFree(moved), nullptr);
}

TEST(GlobalMemory, InjectedFailureRefusesAllocAndReAlloc) {
    QPM_REQUIRES_HOST_EXTENSION("fault injection");
    QpmFailNth(QPM_FAULT_GLOBALALLOC, 1);
    SetLastError(0);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, 10), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));

    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 10);
    ASSERT_NE(h, nullptr);
    QpmFailNth(QPM_FAULT_GLOBALALLOC, 2);  // the second allocation from here
    EXPECT_EQ(GlobalReAlloc(h, 5, GMEM_MOVEABLE), h);
    SetLastError(0);
    EXPECT_EQ(GlobalReAlloc(h, 8, GMEM_MOVEABLE), nullptr);  // even an in-place one
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(GlobalSize(h), 5u);  // unchanged by the refused call
    GlobalFree(h);
    QpmResetFaults();
}

// What a fault sweep relies on: whether the armed failure happened, and
// how many blocks are alive, fixed and movable alike.
TEST(GlobalMemory, AnArmedFailureSaysWhetherItFiredAndBlocksAreCounted) {
    QPM_REQUIRES_HOST_EXTENSION("fault injection and object counts");
    const UINT before = QpmCountObjects(QPM_OBJECTS_GLOBALMEMORY);
    QpmFailNth(QPM_FAULT_GLOBALALLOC, 2);
    HGLOBAL movable = GlobalAlloc(GMEM_MOVEABLE, 4);
    EXPECT_FALSE(QpmFaultFired(QPM_FAULT_GLOBALALLOC));
    EXPECT_EQ(QpmCountObjects(QPM_OBJECTS_GLOBALMEMORY), before + 1);
    EXPECT_EQ(GlobalAlloc(GMEM_FIXED, 4), nullptr);
    EXPECT_TRUE(QpmFaultFired(QPM_FAULT_GLOBALALLOC));
    EXPECT_FALSE(QpmFaultFired(QPM_FAULT_FILECREATE));
    HGLOBAL fixed = GlobalAlloc(GMEM_FIXED, 4);
    EXPECT_EQ(QpmCountObjects(QPM_OBJECTS_GLOBALMEMORY), before + 2);
    GlobalFree(movable);
    GlobalFree(fixed);
    EXPECT_EQ(QpmCountObjects(QPM_OBJECTS_GLOBALMEMORY), before);
    QpmFailNth(QPM_FAULT_GLOBALALLOC, 1);  // armed again: not fired yet
    EXPECT_FALSE(QpmFaultFired(QPM_FAULT_GLOBALALLOC));
    QpmResetFaults();
}

}  // namespace
