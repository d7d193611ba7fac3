// Any 30 bytes through the JFIF decoder: one line, or the one fatal case.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "one_line.h"
#include "velmor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size != kJpgHeader)
        return -1;
    // A copy of exactly the block's size, so that a read past it is caught.
    std::unique_ptr<unsigned char[]> buff(new unsigned char[kJpgHeader]);
    std::memcpy(buff.get(), data, kJpgHeader);
    char s[kLineSize];
    std::memset(s, 'z', sizeof s);
    const char* line = jpgLine(buff.get(), s);
    if (line != nullptr)
        requireOneLine(line);
    else if (std::memcmp(buff.get() + 6, "JFIF", 5) != 0 || buff[13] <= 2)
        std::abort();  // fatal only for an unknown unit in a JFIF header
    return 0;
}
