// How much memory a search may take on this machine, so that one too large is refused up front, and
// the zeroed memory its arrays of positions live in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// The smaller of the machine's memory and the process's limits on it (the WebAssembly heap's
// largest size in the browser).
std::uint64_t memoryForSearches();

// Zeroed memory for a search's array, given back when the pointer goes. Where it is mapped for
// the array alone, the system hands its pages over only as they are first written.
struct SearchMemoryRelease {
    std::size_t mapped;  // the bytes mapped for it, or 0 for memory from calloc
    void operator()(void* memory) const;
};
using SearchMemory = std::unique_ptr<void, SearchMemoryRelease>;

// On Linux an array of a large page (2 MB) or more is asked for in large pages: with the usual
// 4 kB ones the processor's table of recent pages covers a few MB at most, and nearly every
// look-up at random in a larger array would first walk the page tables. A smaller one comes from
// calloc, since a large page is zeroed whole when first touched: the many small searches of
// solving each start, and a search that wins early, would spend their time zeroing memory they
// never use.
inline constexpr std::size_t kLargePageArrays = std::size_t{2} << 20;

// `bytes` of it, for an array that a search reads and writes at random. Throws std::bad_alloc
// when there is not the memory.
SearchMemory zeroedSearchMemory(std::size_t bytes);
