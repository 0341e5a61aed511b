#pragma once
// The largest single allocation made while a scope is open, for tests of readers that must
// not take memory for what damaged input merely claims. Only sanitizer builds can watch
// allocations (libraries such as libpng call malloc directly); elsewhere Watching() is false.

#include <atomic>
#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define BC_WATCH_ALLOCATIONS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BC_WATCH_ALLOCATIONS 1
#endif
#endif

#ifdef BC_WATCH_ALLOCATIONS
// The sanitizer runtimes of both compilers have it; only clang ships its header.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, std::size_t),
                                                         void (*)(const volatile void*));
#endif

namespace testsupport {

class LargestAllocation {
public:
    LargestAllocation() {
#ifdef BC_WATCH_ALLOCATIONS
        static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, nullptr) != 0;
        m_watching = installed;
#endif
        Largest() = 0;
    }
    bool Watching() const { return m_watching; }
    std::size_t Bytes() const { return Largest(); }

private:
    static std::atomic<std::size_t>& Largest() {
        static std::atomic<std::size_t> largest{0};
        return largest;
    }
    static void OnMalloc(const volatile void*, std::size_t size) {
        std::size_t seen = Largest();
        while (size > seen && !Largest().compare_exchange_weak(seen, size)) {}
    }
    bool m_watching = false;
};

}  // namespace testsupport
