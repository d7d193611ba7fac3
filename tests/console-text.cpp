// Prints what the console window of a running program shows, the way a
// user reads it: each line of its screen with text on it, as UTF-8.
//   console-text PROGRAM.exe
// PROGRAM.exe names the process (the first of that name); ends with 1
// where there is none or it has no console.
#include <windows.h>

#include <tlhelp32.h>

#include <cwchar>
#include <string>

namespace {

DWORD processNamed(const wchar_t* name)
{
    HANDLE all = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W e{};
    e.dwSize = sizeof e;
    DWORD id = 0;
    for (BOOL more = Process32FirstW(all, &e); more != 0 && id == 0; more = Process32NextW(all, &e))
        if (_wcsicmp(e.szExeFile, name) == 0)
            id = e.th32ProcessID;
    CloseHandle(all);
    return id;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2)
        return 2;
    // Where the text goes, taken before this process joins the other's
    // console.
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    const DWORD id = processNamed(argv[1]);
    FreeConsole();
    if (id == 0 || AttachConsole(id) == 0)
        return 1;
    HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(screen, &info) == 0)
        return 1;
    std::wstring row(static_cast<size_t>(info.dwSize.X), L' ');
    for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
        DWORD got = 0;
        ReadConsoleOutputCharacterW(screen, &row[0], info.dwSize.X, COORD{0, y}, &got);
        const size_t end = row.find_last_not_of(L' ', got == 0 ? 0 : got - 1);
        if (got == 0 || end == std::wstring::npos)
            continue;
        char bytes[4096];
        int n = WideCharToMultiByte(CP_UTF8, 0, row.data(), static_cast<int>(end + 1), bytes, sizeof bytes - 1,
                                    nullptr, nullptr);
        bytes[n++] = '\n';
        DWORD w = 0;
        WriteFile(out, bytes, static_cast<DWORD>(n), &w, nullptr);
    }
    return 0;
}
