// The bitmap reader: the resolution in the first 54 bytes of a BMP file.
#include <stdio.h>
#include <string.h>

#include "velmor.h"

// The little-endian 32-bit value at p.
static uint32_t Get4(const unsigned char* p)
{
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

int bmpToDPI(uint32_t v)
{
    // The field is signed: a value with the top bit set is negative.
    int64_t ppm = static_cast<int32_t>(v);
    // Dots per inch are ppm x 0.0254 + 0.5, cut toward zero. Computed as
    // bitmap readers do (ppm x 0.001 x 25.4 in extended precision), the
    // product comes out a hair smaller in magnitude than ppm x 0.0254, so a
    // sum that is exactly whole is cut to the next integer toward zero:
    // 63.5 dots per inch give 63, and -63.5 give -62. In ten-thousandths:
    return static_cast<int>((254 * ppm + (ppm < 0 ? 5001 : 4999)) / 10000);
}

const char* bmpLine(const unsigned char* buff, char* s)
{
    // Only "BM" with the 40-byte info header; bytes 16 and 17 of its size
    // field are not looked at.
    if (memcmp(buff, "BM", 2) != 0 || buff[14] != 40 || buff[15] != 0)
        return "Unsupported BMP header type.\n";
    snprintf(s, kLineSize, "x= %d DPI, y= %d DPI\n",
             bmpToDPI(Get4(buff + 38)), bmpToDPI(Get4(buff + 42)));
    return s;
}

int getBmpDPI(const char* fn)
{
    unsigned char buff[kBmpHeader];
    readHeader(fn, buff, sizeof buff);
    char s[kLineSize];
    printLine(bmpLine(buff, s));
    return 0;
}
