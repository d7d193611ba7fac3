// The JFIF reader: the pixel density in the first 30 bytes of a JPEG file.
#include <stdio.h>
#include <string.h>

#include "velmor.h"

// The big-endian 16-bit value at p, 0 to 65535.
static int GetWord(const unsigned char* p)
{
    return p[0] * 256 + p[1];
}

const char* jpgLine(const unsigned char* buff, char* s)
{
    // Offsets 6 to 10 hold "JFIF" and its terminating zero; the markers
    // before them are not looked at.
    if (memcmp(buff + 6, "JFIF", 5) != 0)
        return "Unrecognized JPEG format.\n";
    int x = GetWord(buff + 14);
    int y = GetWord(buff + 16);
    switch (buff[13]) {
    case 0:
        return "Unspecified\n";
    case 1:
        snprintf(s, kLineSize, "x= %d DPI, y= %d DPI\n", x, y);
        return s;
    case 2:
        // Dots per centimetre: times 2.54 cut toward zero, and the pixels
        // per metre beside them.
        snprintf(s, kLineSize, "x= %d DPI, y= %d DPI (%ldPPM,%ldPPM)\n",
                 x * 254 / 100, y * 254 / 100, x * 100L, y * 100L);
        return s;
    default:
        return nullptr;
    }
}

int getJpgDPI(const char* fn)
{
    unsigned char buff[kJpgHeader];
    readHeader(fn, buff, sizeof buff);
    char s[kLineSize];
    const char* line = jpgLine(buff, s);
    if (line == nullptr)
        Crash("Unknown DPI type.");
    printLine(line);
    return 0;
}
