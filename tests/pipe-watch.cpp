// Serves the named pipe \\.\pipe\NAME while a command runs, then says
// whether any client connected: velmor must refuse a pipe's name without
// opening it, since an open is a connection its server sees.
//   pipe-watch NAME COMMAND-LINE...
// Passes the command's output through and ends with its status; prints
// "a client connected" when one did.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

// The command line after its first n words (a word is quoted or unquoted).
static const wchar_t* skipWords(const wchar_t* p, int n)
{
    for (; n > 0; --n) {
        while (*p == L' ' || *p == L'\t')
            ++p;
        bool quoted = false;
        for (; *p != L'\0' && (quoted || (*p != L' ' && *p != L'\t')); ++p)
            if (*p == L'"')
                quoted = !quoted;
    }
    while (*p == L' ' || *p == L'\t')
        ++p;
    return p;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fputs("usage: pipe-watch NAME COMMAND-LINE...\n", stderr);
        return 2;
    }
    std::wstring name = std::wstring(L"\\\\.\\pipe\\") + argv[1];
    HANDLE pipe = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                   PIPE_TYPE_BYTE | PIPE_WAIT, 1, 512, 512, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "pipe-watch: cannot serve %ls\n", name.c_str());
        return 2;
    }
    OVERLAPPED ov{};
    ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool connected = ConnectNamedPipe(pipe, &ov) == 0 && GetLastError() == ERROR_PIPE_CONNECTED;

    std::wstring command = skipWords(GetCommandLineW(), 2);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi) == 0) {
        std::fprintf(stderr, "pipe-watch: cannot run %ls\n", command.c_str());
        return 2;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD status = 2;
    GetExitCodeProcess(pi.hProcess, &status);
    if (WaitForSingleObject(ov.hEvent, 0) == WAIT_OBJECT_0)
        connected = true;
    if (connected)
        std::fputs("a client connected\n", stdout);
    std::fflush(stdout);
    return static_cast<int>(status);
}
