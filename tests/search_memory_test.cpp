// The search arrays' memory: zeroed, writable to its last byte, apart from any other, and on Linux
// a large array laid on a large-page boundary so that the system can back it with large pages.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "analysis/search_memory.h"

namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;

class ZeroedSearchMemory : public testing::TestWithParam<std::size_t> {};

TEST_P(ZeroedSearchMemory, IsZeroedWritableToItsEndAndApartFromTheNext) {
    const std::size_t bytes = GetParam();
    const SearchMemory memory = zeroedSearchMemory(bytes), other = zeroedSearchMemory(bytes);
    auto* const first = static_cast<unsigned char*>(memory.get());
    auto* const second = static_cast<unsigned char*>(other.get());
    ASSERT_NE(first, nullptr);
    // A page at a time and the last byte: the mapping is trimmed around the aligned stretch, so
    // a trim too far would fault here.
    for (std::size_t i = 0; i < bytes; i += 4096) EXPECT_EQ(first[i], 0) << "byte " << i;
    EXPECT_EQ(first[bytes - 1], 0);
    std::memset(first, 0xA5, bytes);
    EXPECT_EQ(second[0], 0);
    EXPECT_EQ(second[bytes - 1], 0);
    EXPECT_EQ(first[bytes - 1], 0xA5);
#if defined(__linux__)
    if (bytes >= kLargePageArrays) {
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(first) % kLargePage, 0U);
    }
#endif
}

// Under a page, about a page, about the size from which large pages are asked for, and several
// large pages and a bit.
INSTANTIATE_TEST_SUITE_P(Sizes, ZeroedSearchMemory,
                         testing::Values(std::size_t{1}, std::size_t{4097}, kLargePageArrays - 1, kLargePageArrays,
                                         kLargePageArrays + 1, 5 * kLargePage + 3));

}  // namespace
