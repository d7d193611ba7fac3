// What the fuzz targets share.
#ifndef VELMOR_FUZZ_H
#define VELMOR_FUZZ_H

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "velmor.h"

// The input as a header block of n bytes, copied to storage of exactly that
// size so that a read past the block is caught; empty for an input of any
// other size, which a reader never decodes.
inline std::unique_ptr<unsigned char[]> headerBlock(const std::uint8_t* data, std::size_t size,
                                                    std::size_t n)
{
    if (size != n)
        return nullptr;
    std::unique_ptr<unsigned char[]> buff(new unsigned char[n]);
    std::memcpy(buff.get(), data, n);
    return buff;
}

// What every decoded header must give: one whole line, its break at the end.
inline void requireOneLine(const char* line)
{
    std::size_t n = strnlen(line, kLineSize);
    if (n == 0 || n == kLineSize || line[n - 1] != '\n' ||
        std::memchr(line, '\n', n - 1) != nullptr)
        std::abort();
}

#endif
