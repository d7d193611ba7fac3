// What every decoded header must give: one whole line, its break at the end.
#ifndef VELMOR_ONE_LINE_H
#define VELMOR_ONE_LINE_H

#include <cstdlib>
#include <cstring>

#include "velmor.h"

inline void requireOneLine(const char* line)
{
    std::size_t n = strnlen(line, kLineSize);
    if (n == 0 || n == kLineSize || line[n - 1] != '\n' ||
        std::memchr(line, '\n', n - 1) != nullptr)
        std::abort();
}

#endif
