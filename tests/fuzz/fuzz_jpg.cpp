// Any 30 bytes through the JFIF decoder: one line, or the one fatal case.
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto buff = headerBlock(data, size, kJpgHeader);
    if (!buff)
        return -1;
    char s[kLineSize];
    std::memset(s, 'z', sizeof s);
    const char* line = jpgLine(buff.get(), s);
    if (line != nullptr)
        requireOneLine(line);
    else if (std::memcmp(buff.get() + 6, "JFIF", 5) != 0 || buff[13] <= 2)
        std::abort();  // fatal only for an unknown unit in a JFIF header
    return 0;
}
