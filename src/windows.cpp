// The Windows side of velmor: the command line and the file name in UTF-16
// straight from the system, the header read through the Win32 API, lines
// written to a console as UTF-16. Nothing here depends on the code page,
// the Windows version or an administrator's settings.
#include <string.h>
#include <wchar.h>
#include <windows.h>

#include "velmor.h"

// The C run-time library would expand wildcards in its own copy of the
// arguments, which velmor does not use: no folder is listed at start-up.
// MinGW's start-up code reads this name.
int _dowildcard = 0;  // NOLINT(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)

namespace {

// The longest command line and path Windows knows, in UTF-16 units.
enum : size_t { kWideMax = 32768 };

bool isSep(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

wchar_t upper(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// True for \\?\ and \??\, the prefixes that hand a path to the system
// as it stands.
bool isVerbatim(const wchar_t* w)
{
    return w[0] == L'\\' && (w[1] == L'\\' || w[1] == L'?') && w[2] == L'?' && w[3] == L'\\';
}

// True when the n units at w spell word (upper case ASCII) in any case.
bool same(const wchar_t* w, size_t n, const char* word)
{
    for (size_t i = 0; i < n; ++i, ++word)
        if (*word == '\0' || upper(w[i]) != static_cast<wchar_t>(*word))
            return false;
    return *word == '\0';
}

// UTF-16 to UTF-8 for n units at w, into out (room for 3 bytes a unit). A
// lone surrogate, which Windows allows in names, keeps its three-byte form
// so that the name goes back to the system unchanged.
size_t toUtf8(const wchar_t* w, size_t n, char* out)
{
    char* o = out;
    for (size_t i = 0; i < n; ++i) {
        uint32_t c = w[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && w[i + 1] >= 0xDC00 && w[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (w[++i] - 0xDC00);
        if (c < 0x80) {
            *o++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *o++ = static_cast<char>(0xC0 | c >> 6);
            *o++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *o++ = static_cast<char>(0xE0 | c >> 12);
            *o++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
            *o++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *o++ = static_cast<char>(0xF0 | c >> 18);
            *o++ = static_cast<char>(0x80 | (c >> 12 & 0x3F));
            *o++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
            *o++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return static_cast<size_t>(o - out);
}

// The character whose UTF-8 form starts at *p (at most end), stepping past
// it; a malformed sequence gives U+FFFD and a step of one byte.
uint32_t nextChar(const unsigned char*& p, const unsigned char* end)
{
    unsigned char b = *p;
    size_t len = b < 0x80 ? 1 : b >= 0xC2 && b < 0xE0 ? 2 : b >= 0xE0 && b < 0xF0 ? 3 : b >= 0xF0 && b < 0xF5 ? 4 : 0;
    static const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (len == 0 || static_cast<size_t>(end - p) < len) {
        ++p;
        return 0xFFFD;
    }
    uint32_t c = len == 1 ? b : b & (0x7F >> len);
    for (size_t i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            ++p;
            return 0xFFFD;
        }
        c = c << 6 | (p[i] & 0x3F);
    }
    if (c < least[len] || c > 0x10FFFF) {
        ++p;
        return 0xFFFD;
    }
    p += len;
    return c;
}

// Writes the character c at out in UTF-16, one unit or a surrogate pair;
// gives the number of units.
size_t putUnits(uint32_t c, wchar_t* out)
{
    if (c < 0x10000) {
        out[0] = static_cast<wchar_t>(c);
        return 1;
    }
    out[0] = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
    out[1] = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    return 2;
}

// UTF-8 to UTF-16, at most cap units and a terminating zero written;
// gives the number of units, or cap + 1 when the text does not fit.
size_t toUtf16(const char* s, size_t n, wchar_t* out, size_t cap)
{
    const auto* p = reinterpret_cast<const unsigned char*>(s);
    const unsigned char* end = p + n;
    size_t k = 0;
    while (p < end) {
        uint32_t c = nextChar(p, end);
        if (k + (c >= 0x10000 ? 2 : 1) > cap)
            return cap + 1;
        k += putUnits(c, out + k);
    }
    out[k] = L'\0';
    return k;
}

// True for a server's pipe or mailslot share: server\pipe\... (server
// points past the two leading separators).
bool isPipeShare(const wchar_t* server)
{
    const wchar_t* share = server;
    while (*share != L'\0' && !isSep(*share))
        ++share;
    if (*share == L'\0')
        return false;
    const wchar_t* end = ++share;
    while (*end != L'\0' && !isSep(*end))
        ++end;
    size_t k = static_cast<size_t>(end - share);
    return same(share, k, "PIPE") || same(share, k, "MAILSLOT");
}

// True when the last part of the path (after the last separator or a
// drive's colon) is a reserved device name, whatever follows a dot and
// with blanks before it.
bool isReservedLastPart(const wchar_t* path)
{
    const wchar_t* last = path;
    for (const wchar_t* c = path; *c != L'\0'; ++c)
        if (isSep(*c) || *c == L':')
            last = c + 1;
    size_t k = 0;
    while (last[k] != L'\0' && last[k] != L'.')
        ++k;
    while (k > 0 && last[k - 1] == L' ')
        --k;
    if (k == 4 && (same(last, 3, "COM") || same(last, 3, "LPT"))) {
        wchar_t d = last[3];
        return (d >= L'1' && d <= L'9') || d == 0x00B9 || d == 0x00B2 || d == 0x00B3;
    }
    return same(last, k, "CON") || same(last, k, "PRN") || same(last, k, "AUX") ||
           same(last, k, "NUL") || same(last, k, "CONIN$") || same(last, k, "CONOUT$");
}

// True for a name Windows would take for a device, not a file on disk,
// whether or not such a device exists: names in the device namespace
// (\\.\..., //?/..., \\?\ or \??\ other than a drive or a UNC path), the
// pipe and mailslot shares of any server, and a last part that is a
// reserved device name: CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9 (also
// with the digits ¹ ² ³), CONIN$, CONOUT$, in any letter case, followed by
// anything after a dot, and blanks before that dot. Such a name is never
// opened: opening a serial port raises its lines, opening a pipe connects
// to its server.
bool isDevice(const wchar_t* w)
{
    if (isVerbatim(w)) {
        const wchar_t* rest = w + 4;
        if (same(rest, 3, "UNC") && rest[3] == L'\\')
            return isPipeShare(rest + 4) || isReservedLastPart(rest);
        bool drive = rest[0] != L'\0' && rest[1] == L':' && rest[2] == L'\\';
        return !drive || isReservedLastPart(rest);
    }
    if (isSep(w[0]) && isSep(w[1])) {
        bool local = (w[2] == L'.' || w[2] == L'?') && (isSep(w[3]) || w[3] == L'\0');
        return local || isPipeShare(w + 2) || isReservedLastPart(w);
    }
    return isReservedLastPart(w);
}

// The name as CreateFileW takes it whatever its length: one whose absolute
// form reaches MAX_PATH goes as that form behind \\?\ (\\?\UNC\ for a
// server's share), which has no such limit and needs no administrator's
// LongPathsEnabled. Shorter names go as given.
const wchar_t* longForm(const wchar_t* w, wchar_t* full, size_t cap)
{
    if (isVerbatim(w))
        return w;
    const size_t room = cap - 8;  // for the prefix
    DWORD n = GetFullPathNameW(w, static_cast<DWORD>(room), full + 8, nullptr);
    if (n == 0 || n >= room || n < MAX_PATH)
        return w;
    wchar_t* abs = full + 8;
    if (isSep(abs[0]) && isSep(abs[1])) {
        // \\server\share\... becomes \\?\UNC\server\share\...
        abs -= 6;
        for (size_t i = 0; i < 8; ++i)
            abs[i] = L"\\\\?\\UNC\\"[i];
    } else {
        abs -= 4;
        for (size_t i = 0; i < 4; ++i)
            abs[i] = L"\\\\?\\"[i];
    }
    return abs;
}

// Opens the file for reading, sharing it with every other program (one
// that has it open for writing or deleting included). A 32-bit program on
// 64-bit Windows would have C:\Windows\System32 quietly turned into
// SysWOW64, another folder with other files: that is off for the open
// alone. On 32-bit Windows the call fails and changes nothing.
HANDLE openRead(const wchar_t* name)
{
    PVOID redirection = nullptr;
    BOOL off = Wow64DisableWow64FsRedirection(&redirection);
    HANDLE h = CreateFileW(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (off != 0)
        Wow64RevertWow64FsRedirection(redirection);
    return h;
}

// The command line is split as the C run-time library splits it. First
// the program's name: up to a blank, or between quotes. Copies it to o
// with its terminating zero; gives where the rest of the line starts.
const wchar_t* programName(const wchar_t* p, const wchar_t* stop, wchar_t*& o)
{
    if (*p == L'"') {
        for (++p; p < stop && *p != L'"';)
            *o++ = *p++;
        if (p < stop)
            ++p;
    } else {
        while (p < stop && *p != L' ' && *p != L'\t')
            *o++ = *p++;
    }
    *o++ = L'\0';
    return p;
}

// A run of backslashes in an argument: before a quote, half of them (cut
// down) and the quote itself when they are odd; elsewhere all of them.
const wchar_t* backslashes(const wchar_t* p, const wchar_t* stop, wchar_t*& o)
{
    const wchar_t* q = p;
    while (p < stop && *p == L'\\')
        ++p;
    bool beforeQuote = p < stop && *p == L'"';
    for (auto k = static_cast<size_t>(beforeQuote ? (p - q) / 2 : p - q); k > 0; --k)
        *o++ = L'\\';
    if (beforeQuote && (p - q) % 2 == 1)
        *o++ = *p++;
    return p;
}

// Then each argument, up to a blank outside quotes: quotes group, 2n
// backslashes before a quote give n and the quote groups, 2n+1 give n and
// a quote, other backslashes stand for themselves, and "" within quotes is
// a quote. Copies one to o with its terminating zero; gives where it ends.
const wchar_t* argument(const wchar_t* p, const wchar_t* stop, wchar_t*& o)
{
    bool quoted = false;
    while (p < stop && (quoted || (*p != L' ' && *p != L'\t'))) {
        if (*p == L'\\') {
            p = backslashes(p, stop, o);
        } else if (*p == L'"' && quoted && p + 1 < stop && p[1] == L'"') {
            *o++ = L'"';
            p += 2;
        } else if (*p == L'"') {
            quoted = !quoted;
            ++p;
        } else {
            *o++ = *p++;
        }
    }
    *o++ = L'\0';
    return p;
}

// The most written to standard output in one call; older consoles refuse
// much larger writes.
enum : size_t { kChunk = 8192 };

// Writes the k units at buff whole: UTF-16 units to a console with
// WriteConsoleW, bytes to anything else with WriteFile.
bool writeAll(HANDLE h, bool console, const void* buff, size_t k)
{
    const size_t unit = console ? sizeof(wchar_t) : 1;
    for (size_t done = 0; done < k;) {
        DWORD w = 0;
        const void* from = static_cast<const char*>(buff) + done * unit;
        auto left = static_cast<DWORD>(k - done);
        BOOL ok = console ? WriteConsoleW(h, from, left, &w, nullptr) : WriteFile(h, from, left, &w, nullptr);
        if (ok == 0 || w == 0)
            return false;
        done += w;
    }
    return true;
}

// Writes the text from p on, up to kChunk characters of it, to the console
// h in UTF-16, each line break as CR LF; moves p past what it wrote.
bool writeWide(HANDLE h, const unsigned char*& p, const unsigned char* end)
{
    static wchar_t wide[kChunk + 3];
    size_t k = 0;
    while (p < end && k < kChunk) {
        if (*p == '\n')
            wide[k++] = L'\r';
        k += putUnits(nextChar(p, end), wide + k);
    }
    return writeAll(h, true, wide, k);
}

// The same for a file or a pipe: the bytes as they are.
bool writeBytes(HANDLE h, const unsigned char*& p, const unsigned char* end)
{
    static char bytes[2 * kChunk];
    size_t k = 0;
    while (p < end && k < 2 * kChunk - 1) {
        if (*p == '\n')
            bytes[k++] = '\r';
        bytes[k++] = static_cast<char>(*p++);
    }
    return writeAll(h, false, bytes, k);
}

}  // namespace

void commandLine(int* argc, char*** argv)
{
    // Split, the arguments and their ends take no more room than the line.
    static wchar_t split[kWideMax + 1];
    static char text[3 * (kWideMax + 1)];
    static char* args[kWideMax / 2 + 2];
    const wchar_t* p = GetCommandLineW();
    size_t len = 0;
    while (len < kWideMax - 1 && p[len] != L'\0')
        ++len;
    const wchar_t* const stop = p + len;
    wchar_t* o = split;
    int n = 1;
    p = programName(p, stop, o);
    for (;;) {
        while (p < stop && (*p == L' ' || *p == L'\t'))
            ++p;
        if (p == stop || n == static_cast<int>(sizeof args / sizeof args[0]) - 1)
            break;
        p = argument(p, stop, o);
        ++n;
    }
    // Each argument in UTF-8.
    const wchar_t* w = split;
    char* t = text;
    for (int i = 0; i < n; ++i) {
        size_t k = wcslen(w);
        args[i] = t;
        t += toUtf8(w, k, t);
        *t++ = '\0';
        w += k + 1;
    }
    args[n] = nullptr;
    *argc = n;
    *argv = args;
}

void readHeader(const char* fn, unsigned char* buff, size_t n)
{
    static wchar_t name[kWideMax];
    static wchar_t full[kWideMax + 8];
    if (toUtf16(fn, strlen(fn), name, kWideMax - 1) >= kWideMax || isDevice(name))
        Crash("File %s - not found.", fn);
    HANDLE h = openRead(longForm(name, full, sizeof full / sizeof full[0]));
    // Only a file on disk: not a folder (it does not open), a console, a
    // printer or a pipe.
    if (h == INVALID_HANDLE_VALUE)
        Crash("File %s - not found.", fn);
    if (GetFileType(h) != FILE_TYPE_DISK)
        Crash("File %s - not found.", fn);
    LARGE_INTEGER zero{};
    if (SetFilePointerEx(h, zero, nullptr, FILE_BEGIN) == 0)
        Crash("Seek failed.");
    for (size_t got = 0; got < n;) {
        DWORD r = 0;
        if (ReadFile(h, buff + got, static_cast<DWORD>(n - got), &r, nullptr) == 0 || r == 0)
            Crash("Can't read file: %s", fn);
        got += r;
    }
    CloseHandle(h);
}

bool writeOut(const char* s, size_t n)
{
    // A console shows UTF-16 as it is; bytes it would decode with its own
    // code page (437 or 850 as a rule), whatever the program's. Anything
    // else (a file, a pipe) takes the UTF-8 bytes. Either way each line
    // ends in CR LF and goes out in one call, but for a line past the
    // buffer (only a name of thousands of characters makes one), which
    // goes in pieces.
    HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE);
    if (h == nullptr || h == INVALID_HANDLE_VALUE)
        return false;
    DWORD mode = 0;
    const bool console = GetConsoleMode(h, &mode) != 0;
    const auto* p = reinterpret_cast<const unsigned char*>(s);
    const unsigned char* const end = p + n;
    while (p < end)
        if (!(console ? writeWide(h, p, end) : writeBytes(h, p, end)))
            return false;
    return true;
}
