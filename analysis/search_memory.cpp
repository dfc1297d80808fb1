// The memory a search may take: the machine's, under the process's limits; and the zeroed memory
// of its arrays, in large pages on Linux.
#include "analysis/search_memory.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <new>

#if defined(__EMSCRIPTEN__)
#include <emscripten/heap.h>
#elif defined(__unix__)
#include <sys/resource.h>
#include <unistd.h>
#endif
#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

// What the program and its other data already hold, left aside when the search is weighed.
constexpr std::uint64_t kHeldBesides = std::uint64_t{64} << 20;

#if defined(__linux__)
constexpr std::size_t kLargePage = std::size_t{2} << 20;
#endif

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

void SearchMemoryRelease::operator()(void* memory) const {
#if defined(__linux__)
    if (mapped > 0) {
        munmap(memory, mapped);
        return;
    }
#endif
    std::free(memory);
}

SearchMemory zeroedSearchMemory(std::size_t bytes) {
#if defined(__linux__)
    if (bytes >= kLargePageArrays) {
        // Large pages must start on a 2 MB boundary, which mmap does not promise: map a page more
        // than needed and give back what lies outside the aligned stretch. Where the system keeps
        // large pages only for those who ask (or has none), madvise is the asking, and its failing
        // costs nothing but the speed.
        if (bytes > std::numeric_limits<std::size_t>::max() - 2 * kLargePage) throw std::bad_alloc();
        bytes = (bytes + kLargePage - 1) / kLargePage * kLargePage;
        void* mapped = mmap(nullptr, bytes + kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED) throw std::bad_alloc();
        char* const first = static_cast<char*>(mapped);
        const std::size_t before = (kLargePage - reinterpret_cast<std::uintptr_t>(first) % kLargePage) % kLargePage;
        if (before > 0) munmap(first, before);
        munmap(first + before + bytes, kLargePage - before);
        madvise(first + before, bytes, MADV_HUGEPAGE);
        return SearchMemory(first + before, SearchMemoryRelease{bytes});
    }
#endif
    void* memory = std::calloc(bytes == 0 ? 1 : bytes, 1);
    if (memory == nullptr) throw std::bad_alloc();
    return SearchMemory(memory, SearchMemoryRelease{0});
}
