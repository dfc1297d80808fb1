// How much memory a search may take on this machine, so that one too large is refused up front.
#pragma once

#include <cstdint>

// The smaller of the machine's memory and the process's limits on it (the WebAssembly heap's
// largest size in the browser).
std::uint64_t memoryForSearches();
