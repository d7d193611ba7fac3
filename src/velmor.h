// Declarations shared by the driver and the two header readers.
#ifndef VELMOR_H
#define VELMOR_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

#if defined(__GNUC__)
#define VELMOR_PRINTF(f, a) __attribute__((format(printf, f, a)))
#else
#define VELMOR_PRINTF(f, a)
#endif

// Reports a fatal error: prints the message and a line break to standard
// output and ends the process with status 1.
[[noreturn]] void Crash(const char* fmt, ...) VELMOR_PRINTF(1, 2);

// The readers: each prints the resolution line of one file, or a notice,
// and returns 0; a fatal error ends the process through Crash.
int getJpgDPI(const char* fn);
int getBmpDPI(const char* fn);

// Opens fn for reading and reads its first n bytes into buff; any failure
// ends the process through Crash. The caller closes the file.
std::FILE* openHeader(const char* fn, unsigned char* buff, std::size_t n);

// The decoding behind the readers, apart from any file: each turns a header
// block into the line its reader prints, line break included: a fixed
// notice, or a result written to s (at least kLineSize bytes). jpgLine gives
// nullptr for an unknown density unit, which is fatal.
enum : std::size_t { kJpgHeader = 30, kBmpHeader = 54, kLineSize = 64 };
const char* jpgLine(const unsigned char* buff, char* s);
const char* bmpLine(const unsigned char* buff, char* s);

// A bitmap resolution field (pixels per metre, a signed 32-bit value) in
// dots per inch.
int bmpToDPI(std::uint32_t v);

#endif
