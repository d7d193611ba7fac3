// Declarations shared by the driver, the two header readers and the unit of
// the system velmor runs on (posix.cpp or windows.cpp).
//
// The program's own units include the C library's headers directly, never
// the C++ wrappers: the Linux release program is compiled against musl,
// whose headers libstdc++'s wrappers do not accept, and links no C++
// run-time library at all.
#ifndef VELMOR_H
#define VELMOR_H

#include <stddef.h>
#include <stdint.h>

#if defined(__GNUC__)
#define VELMOR_PRINTF(f, a) __attribute__((format(printf, f, a)))
#else
#define VELMOR_PRINTF(f, a)
#endif

// Reports a fatal error: prints the message and a line break to standard
// output and ends the process with status 1.
[[noreturn]] void Crash(const char* fmt, ...) VELMOR_PRINTF(1, 2);

// Writes text that ends in a line break to standard output; a failed write
// turns the status the process ends with into 1.
void printLine(const char* s);

// The readers: each prints the resolution line of one file, or a notice,
// and returns 0; a fatal error ends the process through Crash.
int getJpgDPI(const char* fn);
int getBmpDPI(const char* fn);

// The decoding behind the readers, apart from any file: each turns a header
// block into the line its reader prints, line break included: a fixed
// notice, or a result written to s (at least kLineSize bytes). jpgLine gives
// nullptr for an unknown density unit, which is fatal.
enum : size_t { kJpgHeader = 30, kBmpHeader = 54, kLineSize = 64 };
const char* jpgLine(const unsigned char* buff, char* s);
const char* bmpLine(const unsigned char* buff, char* s);

// A bitmap resolution field (pixels per metre, a signed 32-bit value) in
// dots per inch.
int bmpToDPI(uint32_t v);

// What differs between systems, one unit each.
//
// commandLine: the arguments as UTF-8 strings, the program's name counted
// in argc. POSIX passes main's own through; Windows takes them anew from
// the system in UTF-16, right whatever the code page.
void commandLine(int* argc, char*** argv);
// readHeader: reads the first n bytes of the file fn into buff and closes
// it. A name that is no file ("File %s - not found."), a failed seek
// ("Seek failed.") or fewer than n bytes ("Can't read file: %s") end the
// process through Crash.
void readHeader(const char* fn, unsigned char* buff, size_t n);
// writeOut: writes n bytes of text, whole lines, to standard output, each
// line in one piece; false when they could not all be written.
bool writeOut(const char* s, size_t n);
// keepWindow: called as the process ends, with the status it ends with.
// Where the window the output is on would close with it before anyone read
// the line (Windows, started from Explorer), waits for a key; a break
// (Ctrl+C) then ends the process with that status. Elsewhere returns at
// once.
void keepWindow(int status);

#endif
