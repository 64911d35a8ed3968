#include "FindFile.h"
#include "GlobalMemory.h"
#include "Modules.h"
#include "VxApi.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <type_traits>

// A handle of one kind never passes for another: a module, a search or an
// image handle is no memory block, and the other way round.
static_assert(!std::is_invocable_v<decltype(GlobalFree), HMODULE>);
static_assert(!std::is_invocable_v<decltype(GlobalLock), HANDLE>);
static_assert(!std::is_invocable_v<decltype(GlobalSize), VXHANDLE>);
static_assert(!std::is_invocable_v<decltype(FreeLibrary), HGLOBAL>);
static_assert(!std::is_invocable_v<decltype(FindClose), HGLOBAL>);
static_assert(std::is_invocable_v<decltype(GlobalFree), decltype(ImageMemory(VXHANDLE{}))>);

TEST(GlobalMemory, BlockLifecycleKeepsContentsAcrossLocksAndResize)
{
    const std::size_t before = GlobalBlockCount();
    HGLOBAL h = GlobalAlloc(GHND, 64);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), 64u);
    EXPECT_EQ(GlobalBlockCount(), before + 1);

    auto* bytes = static_cast<unsigned char*>(GlobalLock(h));
    ASSERT_NE(bytes, nullptr);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(bytes[i], 0) << "GHND zeroes the block";
    std::memset(bytes, 0xAB, 64);
    EXPECT_NE(GlobalLock(h), nullptr);   // a second lock
    EXPECT_NE(GlobalUnlock(h), 0);       // still locked once
    EXPECT_EQ(GlobalUnlock(h), 0);       // now unlocked
    EXPECT_EQ(GlobalUnlock(h), 0);       // unlocking an unlocked block is refused

    ASSERT_EQ(GlobalReAlloc(h, 128, GMEM_ZEROINIT), h);
    EXPECT_EQ(GlobalSize(h), 128u);
    bytes = static_cast<unsigned char*>(GlobalLock(h));
    EXPECT_EQ(bytes[63], 0xAB);
    EXPECT_EQ(bytes[64], 0);
    GlobalUnlock(h);

    EXPECT_EQ(GlobalFree(h), nullptr);
    EXPECT_EQ(GlobalBlockCount(), before);
}

TEST(GlobalMemory, UnknownAndFreedHandlesAreRefused)
{
    int notABlock = 0;
    const HGLOBAL bogus = reinterpret_cast<HGLOBAL>(&notABlock);
    EXPECT_EQ(GlobalLock(bogus), nullptr);
    EXPECT_EQ(GlobalSize(bogus), 0u);
    EXPECT_EQ(GlobalFree(bogus), bogus);
    EXPECT_EQ(GlobalReAlloc(bogus, 10, 0), nullptr);

    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 8);
    ASSERT_EQ(GlobalFree(h), nullptr);
    EXPECT_EQ(GlobalFree(h), h) << "a double free is refused, not a crash";
    EXPECT_EQ(GlobalLock(h), nullptr);
}

TEST(GlobalMemory, ImpossibleSizesFailCleanly)
{
    EXPECT_EQ(GlobalAlloc(GHND, SIZE_MAX / 2), nullptr);
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 16);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalReAlloc(h, SIZE_MAX / 2, 0), nullptr);
    EXPECT_EQ(GlobalSize(h), 16u) << "a failed resize leaves the block as it was";
    GlobalFree(h);

    HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(GlobalLock(empty), nullptr);
    EXPECT_EQ(GlobalFree(empty), nullptr);
}
