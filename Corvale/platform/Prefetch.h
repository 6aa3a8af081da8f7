#pragma once
// A hint to the processor that the cache line holding an address will be read
// soon, for loops whose next reads lie far apart in a big table: asked for a
// few steps ahead, the misses overlap instead of following one another.

namespace corvale {

inline void PrefetchRead(const void* address) {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    // Written out: GCC 12 drops a __builtin_prefetch whose address is masked
    // by a table's size inside a test of that size, which is how hash tables
    // find their slots.
    asm volatile("prefetcht0 (%0)" : : "r"(address));
#elif defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

} // namespace corvale
