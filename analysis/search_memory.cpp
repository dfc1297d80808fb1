// The memory a search may take: the machine's, under the process's limits.
#include "analysis/search_memory.h"

#include <algorithm>
#include <limits>

#if defined(__EMSCRIPTEN__)
#include <emscripten/heap.h>
#elif defined(__unix__)
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

// What the program and its other data already hold, left aside when the search is weighed.
constexpr std::uint64_t kHeldBesides = std::uint64_t{64} << 20;

}  // namespace

std::uint64_t memoryForSearches() {
    std::uint64_t bytes = std::numeric_limits<std::uint64_t>::max();
#if defined(__EMSCRIPTEN__)
    bytes = emscripten_get_heap_max();
#elif defined(__unix__)
    const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages > 0 && pageSize > 0) bytes = static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
    // A limit on the address space or the data segment stops an allocation however much memory is free.
    for (int resource : {RLIMIT_AS, RLIMIT_DATA}) {
        rlimit limit{};
        if (getrlimit(resource, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
            bytes = std::min<std::uint64_t>(bytes, limit.rlim_cur);
    }
#endif
    return bytes > kHeldBesides ? bytes - kHeldBesides : 0;
}
