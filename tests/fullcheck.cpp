// Checks the integer resolution rule against the extended-precision steps
// for every one of the 2^32 values of a bitmap resolution field.
#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <thread>
#include <vector>

#include "reference.h"
#include "velmor.h"

int main()
{
    if (!haveExtendedPrecision()) {
        std::puts("skipped: no 64-bit-significand long double here");
        return 77;
    }
    unsigned workers = std::thread::hardware_concurrency();
    if (workers == 0)
        workers = 1;
    std::atomic<std::uint64_t> mismatches{0};
    std::vector<std::thread> pool;
    const std::uint64_t total = std::uint64_t{1} << 32;
    for (unsigned w = 0; w < workers; ++w) {
        pool.emplace_back([&, w] {
            std::uint64_t bad = 0;
            for (std::uint64_t i = total * w / workers; i < total * (w + 1) / workers; ++i) {
                auto v = static_cast<std::uint32_t>(i);
                int want = referenceDPI(static_cast<std::int32_t>(v));
                int got = bmpToDPI(v);
                if (got != want && bad++ < 5)
                    std::printf("0x%08" PRIX32 ": %d, steps give %d\n", v, got, want);
            }
            mismatches += bad;
        });
    }
    for (auto& t : pool)
        t.join();
    std::printf("%" PRIu64 " values checked, %" PRIu64 " mismatches\n", total,
                mismatches.load());
    return mismatches == 0 ? 0 : 1;
}
