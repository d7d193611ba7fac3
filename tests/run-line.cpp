// Runs a program by an exact command line, as cmd.exe runs a line of a
// batch file: CreateProcessW with the program's path and the line as it
// stands, which no splitting and quoting of arguments on the way could
// give. {XXXX}, four hex digits, in the line stands for that UTF-16 unit,
// so that the line can hold a lone surrogate.
//   run-line PROGRAM LINE
// Ends with the program's status; its output goes where run-line's goes.
#include <windows.h>

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fputws(L"usage: run-line PROGRAM LINE\n", stderr);
        return 2;
    }
    std::wstring line;
    for (const wchar_t* p = argv[2]; *p != L'\0'; ++p) {
        wchar_t* end = nullptr;
        unsigned long unit = p[0] == L'{' ? std::wcstoul(p + 1, &end, 16) : 0;
        if (end == p + 5 && *end == L'}') {
            line += static_cast<wchar_t>(unit);
            p = end;
        } else {
            line += *p;
        }
    }
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (CreateProcessW(argv[1], &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi) == 0) {
        std::fwprintf(stderr, L"run-line: cannot run %ls\n", argv[1]);
        return 2;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD status = 2;
    GetExitCodeProcess(pi.hProcess, &status);
    return static_cast<int>(status);
}
