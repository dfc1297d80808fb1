// How much memory a search may take on this machine, so that one too large is refused up front, and
// the zeroed memory its arrays of positions live in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// The smaller of the machine's memory and the process's limits on it (the WebAssembly heap's
// largest size in the browser).
std::uint64_t memoryForSearches();

// Zeroed memory whose pages the system hands over only as they are first written, given back
// when the pointer goes.
struct SearchMemoryRelease {
    std::size_t bytes;  // as mapped, for the system's unmapping
    void operator()(void* memory) const;
};
using SearchMemory = std::unique_ptr<void, SearchMemoryRelease>;

// `bytes` of it for an array that a search reads and writes at random. On Linux it is asked for in
// 2 MB pages: with the usual 4 kB ones the processor's table of recent pages covers a few MB at
// most, and nearly every look-up in a larger array would first walk the page tables.
// Throws std::bad_alloc when there is not the memory.
SearchMemory zeroedSearchMemory(std::size_t bytes);
