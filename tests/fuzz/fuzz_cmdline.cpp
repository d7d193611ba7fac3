// Any command line up to the longest Windows passes (32,767 UTF-16 units)
// through the splitter: its arguments stay within the room promised for
// them, and each comes back from its UTF-8 (WTF-8) form.
#include <algorithm>

#include "fuzz.h"
#include "winrules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::size_t n = std::min<std::size_t>(size / 2, kWideMax);
    // Exactly as large as promised, so that a step past either is caught.
    std::unique_ptr<char16_t[]> line(new char16_t[n]);
    std::memcpy(line.get(), data, n * 2);
    std::unique_ptr<char16_t[]> out(new char16_t[n + 1]);
    const std::size_t maxArgs = size % 2 == 1 ? 1 + data[size - 1] % 4 : n / 2 + 2;
    const std::size_t count = splitCommandLine(line.get(), n, out.get(), maxArgs);
    if (count < 1 || count > maxArgs)
        std::abort();
    const char16_t* w = out.get();
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t k = 0;
        while (w + k < out.get() + n + 1 && w[k] != u'\0')
            ++k;
        if (w + k == out.get() + n + 1)
            std::abort();  // an argument without its terminating zero
        std::unique_ptr<char[]> text(new char[3 * k + 1]);
        const std::size_t bytes = toUtf8(w, k, text.get(), true);
        std::unique_ptr<char16_t[]> back(new char16_t[k + 1]);
        if (toUtf16(text.get(), bytes, back.get(), k) != k || std::memcmp(back.get(), w, 2 * k) != 0)
            std::abort();
        w += k + 1;
    }
    return 0;
}
