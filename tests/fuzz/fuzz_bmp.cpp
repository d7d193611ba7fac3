// Any 54 bytes through the bitmap decoder: always one line.
#include <cstdint>
#include <cstring>
#include <memory>

#include "one_line.h"
#include "velmor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size != kBmpHeader)
        return -1;
    // A copy of exactly the block's size, so that a read past it is caught.
    std::unique_ptr<unsigned char[]> buff(new unsigned char[kBmpHeader]);
    std::memcpy(buff.get(), data, kBmpHeader);
    char s[kLineSize];
    std::memset(s, 'z', sizeof s);
    requireOneLine(bmpLine(buff.get(), s));
    return 0;
}
