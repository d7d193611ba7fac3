// The JFIF reader: the pixel density in the first 30 bytes of a JPEG file.
#include <cstdio>
#include <cstring>

#include "velmor.h"

// The big-endian 16-bit value at p, 0 to 65535.
static int GetWord(const unsigned char* p)
{
    return p[0] * 256 + p[1];
}

bool jpgLine(const unsigned char* buff, char* s)
{
    // Offsets 6 to 10 hold "JFIF" and its terminating zero; the markers
    // before them are not looked at.
    if (std::memcmp(buff + 6, "JFIF", 5) != 0) {
        std::snprintf(s, kLineSize, "Unrecognized JPEG format.\n");
        return true;
    }
    int x = GetWord(buff + 14);
    int y = GetWord(buff + 16);
    switch (buff[13]) {
    case 0:
        std::snprintf(s, kLineSize, "Unspecified\n");
        return true;
    case 1:
        std::snprintf(s, kLineSize, "x= %d DPI, y= %d DPI\n", x, y);
        return true;
    case 2:
        // Dots per centimetre: times 2.54 cut toward zero, and the pixels
        // per metre beside them.
        std::snprintf(s, kLineSize, "x= %d DPI, y= %d DPI (%ldPPM,%ldPPM)\n",
                      x * 254 / 100, y * 254 / 100, x * 100L, y * 100L);
        return true;
    default:
        return false;
    }
}

int getJpgDPI(const char* fn)
{
    unsigned char buff[kJpgHeader];
    std::FILE* fp = openHeader(fn, buff, sizeof buff);
    char s[kLineSize];
    if (!jpgLine(buff, s))
        Crash("Unknown DPI type.");
    std::fputs(s, stdout);
    std::fclose(fp);
    return 0;
}
