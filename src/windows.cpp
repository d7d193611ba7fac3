// The Windows side of velmor: the command line and the file name in UTF-16
// straight from the system, the header read through the Win32 API, lines
// written to a console as UTF-16. Nothing here depends on the code page,
// the Windows version or an administrator's settings. The rules it follows
// (splitting the command line, telling devices from files, long names,
// UTF-16 and UTF-8) are in winrules.cpp; this unit makes the calls.
#include <string.h>
#include <windows.h>

#include "velmor.h"
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

bool isConsole(HANDLE h)
{
    DWORD mode = 0;
    return h != nullptr && h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode) != 0;
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

namespace {

// A function of a DLL every process has loaded, found by name, so that the
// program imports nothing more and starts where the function is missing.
// Cast through void (*)(), the type that stands for any function.
template <typename F>
F systemFunction(const wchar_t* dll, const char* name)
{
    HMODULE m = GetModuleHandleW(dll);
    return m == nullptr ? nullptr : reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(m, name)));
}

// The id of the process that started this one, or 0: ntdll's answer for
// ProcessBasicInformation (question 0), six fields of a pointer's size
// each, the parent's id the last.
DWORD parentId()
{
    using Query = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    const auto query = systemFunction<Query>(L"ntdll.dll", "NtQueryInformationProcess");
    ULONG_PTR basic[6]{};
    if (query == nullptr || query(GetCurrentProcess(), 0, basic, sizeof basic, nullptr) != 0)
        return 0;
    return static_cast<DWORD>(basic[5]);
}

// True when the process that started this one is Explorer: its program is
// explorer.exe, and it began before this one (not a later process that
// took the id of a parent since ended).
bool startedByExplorer()
{
    const DWORD id = parentId();
    HANDLE p = id == 0 ? nullptr : OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (p == nullptr)
        return false;
    using ImageName = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
    const auto imageName = systemFunction<ImageName>(L"kernel32.dll", "QueryFullProcessImageNameW");
    static wchar_t path[kWideMax + 1];
    DWORD n = kWideMax;
    FILETIME parent[4]{};
    FILETIME self[4]{};
    bool explorer = imageName != nullptr && imageName(p, 0, path, &n) != 0 &&
                    GetProcessTimes(p, &parent[0], &parent[1], &parent[2], &parent[3]) != 0 &&
                    GetProcessTimes(GetCurrentProcess(), &self[0], &self[1], &self[2], &self[3]) != 0 &&
                    CompareFileTime(&parent[0], &self[0]) <= 0;
    CloseHandle(p);
    // The program's name, the last part of its path, in any ASCII case.
    const wchar_t want[] = L"explorer.exe";
    const DWORD k = sizeof want / sizeof want[0] - 1;
    if (!explorer || n < k || (n > k && path[n - k - 1] != L'\\'))
        return false;
    for (DWORD i = 0; i < k; ++i) {
        const wchar_t c = path[n - k + i];
        if ((c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c) != want[i])
            return false;
    }
    return true;
}

}  // namespace

void keepWindow()
{
    // Started from Explorer (a double-click, a file dropped on the
    // program, Open with, Win+R), a console program gets a window of its
    // own, which closes the moment the program ends: the window waits for
    // a key instead. The questions that cost least come first: a run with
    // its output or input redirected is over after one or two, and a run
    // from a shell asks for its parent with a handful of calls, never a
    // list of every process. Nothing waits where no one could press a key
    // (no console input, or a console without a window).
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    if (!isConsole(out) || !isConsole(in) || GetConsoleWindow() == nullptr || !startedByExplorer())
        return;
    // Keys pressed before the prompt shows are dropped, none after it.
    FlushConsoleInputBuffer(in);
    const wchar_t prompt[] = L"Press any key to close this window.";
    DWORD w = 0;
    WriteConsoleW(out, prompt, sizeof prompt / sizeof prompt[0] - 1, &w, nullptr);
    INPUT_RECORD r{};
    DWORD got = 0;
    while (ReadConsoleInputW(in, &r, 1, &got) != 0 && got == 1)
        if (r.EventType == KEY_EVENT && r.Event.KeyEvent.bKeyDown != 0)
            return;
}
