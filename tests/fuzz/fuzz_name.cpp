// Any name, as the command line hands it over (UTF-8), through the rules
// for names up to the longest path (32,767 UTF-16 units): nothing is read
// past its end, and its long form fits the room promised for it.
#include <algorithm>

#include "fuzz.h"
#include "winrules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::size_t cap = std::min<std::size_t>(size, kWideMax);
    std::unique_ptr<char16_t[]> wide(new char16_t[cap + 1]);
    const std::size_t n = toUtf16(reinterpret_cast<const char*>(data), size, wide.get(), cap);
    if (n > cap)
        return 0;  // longer than any path: refused before these rules
    // The name in storage of exactly its size.
    std::unique_ptr<char16_t[]> name(new char16_t[n + 1]);
    std::memcpy(name.get(), wide.get(), 2 * (n + 1));
    static_cast<void>(isVerbatim(name.get()));
    static_cast<void>(isDeviceName(name.get()));
    static_cast<void>(throughSysnative(name.get()));
    // The name taken as its own absolute form.
    std::unique_ptr<char16_t[]> out(new char16_t[n + 9]);
    const char16_t* open = openName(name.get(), n, out.get());
    if ((n < 260) != (open == name.get()))
        std::abort();
    return 0;
}
