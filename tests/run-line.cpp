// Runs a program by an exact command line, as cmd.exe runs a line of a
// batch file: CreateProcessW with the program's path and the line as it
// stands, which no splitting and quoting of arguments on the way could
// give. {XXXX}, four hex digits, in the line stands for that UTF-16 unit,
// so that the line can hold a lone surrogate.
//   run-line [--std|--no-input] PROGRAM LINE
// Ends with the program's status. The program's standard handles are
// the ones Windows gives it (run-line's own console, or where run-line has
// none, as when built as a GUI program, a console window of its own);
// with --std, run-line's own standard handles, as a caller that redirects
// them passes; with --no-input, a console run-line opens for the output
// and no input at all.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

// A Ctrl+C or Ctrl+Break that should reach the program started alone
// leaves this one running, to report the program's status: Windows sends
// none to a process without a console, and this one may share the
// program's.
BOOL WINAPI stay(DWORD /*event*/)
{
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    SetConsoleCtrlHandler(stay, TRUE);
    const std::wstring how = argc == 4 ? argv[1] : L"";
    if (argc != 3 && !(argc == 4 && (how == L"--std" || how == L"--no-input"))) {
        std::fputws(L"usage: run-line [--std|--no-input] PROGRAM LINE\n", stderr);
        return 2;
    }
    argv += argc - 3;
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
    if (how == L"--std") {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    } else if (how == L"--no-input") {
        AllocConsole();
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    &inherit, OPEN_EXISTING, 0, nullptr);
        si.hStdError = si.hStdOutput;
    }
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
