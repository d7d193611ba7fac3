// The window of a run started from Explorer (a double-click, an image
// dropped on the program, Open with): it would close the moment velmor
// ends, before anyone read the line, so it waits for a key, as cmd's pause
// does.
#include <windows.h>

#include "velmor.h"
#include "winconsole.h"
#include "winrules.h"

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

// The status the run ends with, once the window closes.
UINT runStatus = 0;

// Ctrl+C and Ctrl+Break end the wait as any other key does, with the run's
// own status (the system's handler would end the process with one of its
// own). The process ends here, on the thread the system runs the handler
// on; every line went out whole already, and nothing is buffered.
BOOL WINAPI onBreak(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    ExitProcess(runStatus);
}

// A key pressed down, but not one that is only held for another (Shift,
// Ctrl, Alt, Win) or toggles a lock: the Alt of Alt+Tab, pressed to look
// at another window, leaves this one waiting.
bool endsWait(const INPUT_RECORD& r)
{
    if (r.EventType != KEY_EVENT || r.Event.KeyEvent.bKeyDown == 0)
        return false;
    switch (r.Event.KeyEvent.wVirtualKeyCode) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_LWIN:
    case VK_RWIN:
    case VK_CAPITAL:
    case VK_NUMLOCK:
    case VK_SCROLL:
        return false;
    default:
        return true;
    }
}

}  // namespace

void keepWindow(int status)
{
    // The questions that cost least come first: a run with its output or
    // input redirected is over after one or two, and a run from a shell
    // asks for its parent with a handful of calls, never a list of every
    // process. Nothing waits where no one could press a key (no console
    // input, or a console without a window).
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    if (!isConsole(out) || !isConsole(in) || GetConsoleWindow() == nullptr || !startedByExplorer())
        return;
    runStatus = static_cast<UINT>(status);
    SetConsoleCtrlHandler(onBreak, TRUE);
    // Keys pressed before the prompt shows are dropped, none after it.
    FlushConsoleInputBuffer(in);
    const wchar_t prompt[] = L"Press any key to close this window.";
    DWORD w = 0;
    WriteConsoleW(out, prompt, sizeof prompt / sizeof prompt[0] - 1, &w, nullptr);
    INPUT_RECORD r{};
    DWORD got = 0;
    while (ReadConsoleInputW(in, &r, 1, &got) != 0 && got == 1)
        if (endsWait(r))
            return;
}
