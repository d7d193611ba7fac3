// Any 54 bytes through the bitmap decoder: always one line.
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto buff = headerBlock(data, size, kBmpHeader);
    if (!buff)
        return -1;
    char s[kLineSize];
    std::memset(s, 'z', sizeof s);
    requireOneLine(bmpLine(buff.get(), s));
    return 0;
}
