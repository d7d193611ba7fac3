// The Windows side of velmor: the command line and the file name in UTF-16
// straight from the system, the header read through the Win32 API, lines
// written to a console as UTF-16. Nothing here depends on the code page,
// the Windows version or an administrator's settings. The rules it follows
// (splitting the command line, telling devices from files, long names,
// UTF-16 and UTF-8) are in winrules.cpp; this unit makes the calls. The
// window kept open for a run started from Explorer is explorer.cpp's.
#include <string.h>
#include <windows.h>

#include "velmor.h"
#include "winconsole.h"
#include "winrules.h"

// The C run-time library would expand wildcards in its own copy of the
// arguments, which velmor does not use: no folder is listed at start-up.
// MinGW's start-up code reads this name.
int _dowildcard = 0;  // NOLINT(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)

// The canary of the program's own functions (-fstack-protector-strong).
// GCC's own (libssp) would seed it through ADVAPI32, a DLL more to load at
// every start. Here it is seeded as Microsoft's C run-time library seeds
// its stack cookies, from KERNEL32 alone: the time, the process and the
// thread, the performance counter, and where the stack lies. A smashed
// stack ends the process at once, with the status Windows gives it
// (STATUS_STACK_BUFFER_OVERRUN), and nothing else of the program runs.
extern "C" {
uintptr_t __stack_chk_guard = 0x2B992DDFU;  // NOLINT(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)

[[noreturn]] void __stack_chk_fail()  // NOLINT(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
{
    TerminateProcess(GetCurrentProcess(), 0xC0000409U);
    for (;;) {
    }
}
}

namespace {

// Runs before main, from MinGW's start-up code, so that every protected
// function finds the seeded value; it must not check the canary itself.
__attribute__((constructor, no_stack_protector)) void seedCanary()
{
    FILETIME t{};
    GetSystemTimeAsFileTime(&t);
    LARGE_INTEGER c{};
    QueryPerformanceCounter(&c);
    uintptr_t seed = t.dwLowDateTime ^ t.dwHighDateTime ^ GetCurrentProcessId() ^ GetCurrentThreadId() ^
                     static_cast<uintptr_t>(c.QuadPart) ^ static_cast<uintptr_t>(c.QuadPart >> 32) ^
                     reinterpret_cast<uintptr_t>(&seed);
    __stack_chk_guard ^= seed * static_cast<uintptr_t>(0x9E3779B97F4A7C15U);
}

}  // namespace

// Windows' wide characters are UTF-16 units, which the rules take as
// char16_t.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t holds one UTF-16 unit");

namespace {

const wchar_t* wide(const char16_t* w)
{
    return reinterpret_cast<const wchar_t*>(w);
}

// Opens the file for reading, sharing it with every other program (one
// that has it open for writing or deleting included). A 32-bit program on
// 64-bit Windows would have C:\Windows\System32 quietly turned into
// SysWOW64, another folder with other files: that is off for the open
// alone, unless the path goes through Sysnative, the alias for the real
// System32 that only redirection provides. On 32-bit Windows turning it
// off fails and changes nothing.
HANDLE openRead(const char16_t* name, bool redirect)
{
    PVOID redirection = nullptr;
    const BOOL off = redirect ? FALSE : Wow64DisableWow64FsRedirection(&redirection);
    HANDLE h = CreateFileW(wide(name), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (off != 0)
        Wow64RevertWow64FsRedirection(redirection);
    return h;
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

// Writes the text from p on, up to kChunk bytes of it and never part of a
// character, each line break as CR LF; moves p past what it wrote. A
// console gets UTF-16 as it is, a file or a pipe valid UTF-8: a lone
// surrogate from a name becomes U+FFFD there.
bool writePiece(HANDLE h, bool console, const char*& p, const char* end)
{
    static char lines[2 * kChunk];
    static char16_t units[2 * kChunk + 1];
    static char bytes[6 * kChunk];
    auto n = static_cast<size_t>(end - p);
    if (n > kChunk) {
        n = kChunk;
        for (int i = 0; i < 3 && (static_cast<unsigned char>(p[n]) & 0xC0) == 0x80; ++i)
            --n;
    }
    size_t k = 0;
    for (size_t i = 0; i < n; ++i) {
        if (p[i] == '\n')
            lines[k++] = '\r';
        lines[k++] = p[i];
    }
    p += n;
    const size_t u = toUtf16(lines, k, units, 2 * kChunk);
    if (console)
        return writeAll(h, true, units, u);
    return writeAll(h, false, bytes, toUtf8(units, u, bytes, false));
}

// How a read of the header went.
enum class Read { kWhole, kNoFile, kNoSeek, kShort };

// Reads the first n bytes of the open h into buff. Only a file on disk
// counts: not a console, a printer or a pipe (a folder does not open).
Read readFrom(HANDLE h, unsigned char* buff, size_t n)
{
    if (GetFileType(h) != FILE_TYPE_DISK)
        return Read::kNoFile;
    LARGE_INTEGER zero{};
    if (SetFilePointerEx(h, zero, nullptr, FILE_BEGIN) == 0)
        return Read::kNoSeek;
    for (size_t got = 0; got < n;) {
        DWORD r = 0;
        if (ReadFile(h, buff + got, static_cast<DWORD>(n - got), &r, nullptr) == 0 || r == 0)
            return Read::kShort;
        got += r;
    }
    return Read::kWhole;
}

}  // namespace

void commandLine(int* argc, char*** argv)
{
    // Split, the arguments and their ends take no more room than the line
    // and one unit; each unit is at most three bytes in UTF-8.
    static char16_t split[kWideMax + 1];
    static char text[3 * (kWideMax + 1)];
    static char* args[kWideMax / 2 + 2];
    const auto* line = reinterpret_cast<const char16_t*>(GetCommandLineW());
    size_t n = 0;
    while (n < kWideMax && line[n] != u'\0')
        ++n;
    const size_t count = splitCommandLine(line, n, split, sizeof args / sizeof args[0] - 1);
    // Each argument in UTF-8; a lone surrogate keeps its own form, so that
    // the name goes back to the system unchanged.
    const char16_t* w = split;
    char* t = text;
    for (size_t i = 0; i < count; ++i) {
        size_t k = 0;
        while (w[k] != u'\0')
            ++k;
        args[i] = t;
        t += toUtf8(w, k, t, true);
        *t++ = '\0';
        w += k + 1;
    }
    args[count] = nullptr;
    *argc = static_cast<int>(count);
    *argv = args;
}

void readHeader(const char* fn, unsigned char* buff, size_t n)
{
    static char16_t name[kWideMax + 1];
    // A device is refused before any open: by the rule velmor knows, and by
    // what the running Windows makes of the name (\\.\COM9 for COM9:.jpg).
    if (toUtf16(fn, strlen(fn), name, kWideMax) > kWideMax || isDeviceName(name))
        Crash("File %s - not found.", fn);
    // The name to open: a verbatim name as it stands, any other in the
    // absolute form the system made of it just now. Given a relative name,
    // Windows would resolve it again through the handle of the current
    // folder, which for a 32-bit program may be SysWOW64's though the
    // folder was set as System32.
    const char16_t* path = name;
    if (!isVerbatim(name)) {
        static char16_t full[kWideMax + 1];
        static char16_t longName[kWideMax + 10];
        const DWORD k = GetFullPathNameW(wide(name), kWideMax + 1, reinterpret_cast<wchar_t*>(full), nullptr);
        if (k == 0 || k > kWideMax || isDeviceName(full))
            Crash("File %s - not found.", fn);
        path = openName(full, k, longName);
    }
    HANDLE h = openRead(path, throughSysnative(path));
    if (h == INVALID_HANDLE_VALUE)
        Crash("File %s - not found.", fn);
    const Read got = readFrom(h, buff, n);
    // Closed before any message: nothing stays open while a window started
    // from Explorer waits for a key, so the user can rename, delete or save
    // over the file meanwhile.
    CloseHandle(h);
    switch (got) {
    case Read::kWhole:
        return;
    case Read::kNoFile:
        Crash("File %s - not found.", fn);
    case Read::kNoSeek:
        Crash("Seek failed.");
    case Read::kShort:
        Crash("Can't read file: %s", fn);
    }
}

bool writeOut(const char* s, size_t n)
{
    // A console shows UTF-16 as it is; bytes it would decode with its own
    // code page (437 or 850 as a rule), whatever the program's. Anything
    // else (a file, a pipe) takes UTF-8. Either way each line ends in CR LF
    // and goes out in one call, but for a line past kChunk bytes (only a
    // name of thousands of characters makes one), which goes in pieces.
    HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE);
    if (h == nullptr || h == INVALID_HANDLE_VALUE)
        return false;
    const bool console = isConsole(h);
    const char* const end = s + n;
    while (s < end)
        if (!writePiece(h, console, s, end))
            return false;
    return true;
}
