// How Windows reads a command line and a file name, written out as pure
// functions over UTF-16 text: no system call, so that every host builds
// and tests them. windows.cpp puts the Win32 calls around them.
#ifndef VELMOR_WINRULES_H
#define VELMOR_WINRULES_H

#include <stddef.h>

// The longest command line and the longest path Windows knows, in UTF-16
// units.
enum : size_t { kWideMax = 32767 };

// Splits the n units of a command line at line as the C run-time library
// does, into at most maxArgs (at least 1) arguments, the program's name
// counted; what follows the last one taken is dropped. Each argument goes
// to out with a terminating zero, one after another: out needs room for
// n + 1 units. Gives the number of arguments.
//
// The program's name ends at a blank (space or tab) outside quotes; a quote
// turns quoting on or off and is dropped, backslashes are plain. In the
// other arguments, 2n backslashes before a quote give n and the quote turns
// quoting on or off, 2n+1 give n and a quote, other backslashes stand for
// themselves, and "" within quotes is one quote.
size_t splitCommandLine(const char16_t* line, size_t n, char16_t* out, size_t maxArgs);

// UTF-8 to UTF-16: the n bytes at s go to out with a terminating zero,
// at most cap units before it. The three-byte form of a surrogate (WTF-8)
// gives that unit, so that a name with a lone one goes back to the system
// as it came; a malformed sequence gives U+FFFD. Gives the number of units,
// or cap + 1 when the text does not fit.
size_t toUtf16(const char* s, size_t n, char16_t* out, size_t cap);

// UTF-16 to UTF-8: the n units at w go to out (room for 3 bytes a unit),
// with no terminating zero. A surrogate without its partner keeps its
// three-byte form when wtf8 is set, for a name that goes back to the
// system, and is U+FFFD otherwise, for text others read. Gives the number
// of bytes.
size_t toUtf8(const char16_t* w, size_t n, char* out, bool wtf8);

// True for a name behind \\?\ or \??\, which the system takes as it stands:
// it does not make it absolute, and knows no device name in it.
bool isVerbatim(const char16_t* name);

// True for a name Windows would take for a device, not a file on disk,
// whether or not such a device exists (see winrules.cpp). velmor never
// opens one: opening a serial port raises its lines, opening a pipe
// connects to its server.
bool isDeviceName(const char16_t* name);

// True when the path goes through a folder named Sysnative: on 64-bit
// Windows the alias by which a 32-bit program reaches the real System32,
// which exists only while file system redirection is on.
bool throughSysnative(const char16_t* path);

// The name CreateFileW is given for a name that is not verbatim, whose
// absolute form (as GetFullPathNameW makes it) is the n units at full:
// that form itself while it is shorter than MAX_PATH, so that the system
// resolves nothing again against the current folder; from MAX_PATH on, the
// same behind \\?\ (\\?\UNC\ for a server's share), which has no length
// limit and needs no administrator's LongPathsEnabled. out has room for
// n + 9 units.
const char16_t* openName(const char16_t* full, size_t n, char16_t* out);

#endif
