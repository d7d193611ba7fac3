// velmor: print the resolution recorded in the header of a JPEG (JFIF) or
// Windows bitmap file.
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>
#elif defined(_WIN32)
#include <sys/stat.h>
#endif

#include "velmor.h"
#include "version.h"

// Every run ends here, with the status raised to 1 when standard output
// could not be written: a run must not report success for a line that
// never arrived (a full disk, a closed descriptor).
[[noreturn]] static void leave(int status)
{
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0)
        status = 1;
    std::exit(status);
}

void Crash(const char* fmt, ...)
{
    // Printed straight to standard output, not through a buffer of fixed
    // size, so that a message of any length (a long file name) arrives
    // whole.
    va_list ap;
    va_start(ap, fmt);
    std::vprintf(fmt, ap);  // NOLINT(clang-analyzer-valist.Uninitialized): started just above
    va_end(ap);
    std::putchar('\n');
    leave(1);
}

// Opens fn read-only: nothing is ever written, and a file the user may read
// but not write is still reported. Where the system has named pipes the
// open does not wait for a writer; a pipe then fails the seek. On Windows a
// device name (CON, NUL, AUX, COM1, ... with any ending) opens the device,
// and reading the console would wait for typing: only a file on disk is
// taken.
static std::FILE* openRead(const char* fn)
{
#if defined(__unix__) || defined(__APPLE__)
    int fd = open(fn, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    std::FILE* fp = fdopen(fd, "rb");
    if (fp == nullptr)
        close(fd);
    return fp;
#else
    std::FILE* fp = std::fopen(fn, "rb");
#if defined(_WIN32)
    struct _stat64 st;
    if (fp != nullptr && (_fstat64(_fileno(fp), &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG)) {
        std::fclose(fp);
        return nullptr;
    }
#endif
    return fp;
#endif
}

std::FILE* openHeader(const char* fn, unsigned char* buff, std::size_t n)
{
    std::FILE* fp = openRead(fn);
    if (fp == nullptr)
        Crash("File %s - not found.", fn);
    // One read of n bytes: no stream buffer to allocate and fill.
    std::setvbuf(fp, nullptr, _IONBF, 0);
    if (std::fseek(fp, 0, SEEK_SET) != 0)
        Crash("Seek failed.");
    errno = 0;
    if (std::fread(buff, n, 1, fp) != 1) {
        // Some systems open a folder for reading; it is still no file.
        if (errno == EISDIR)
            Crash("File %s - not found.", fn);
        Crash("Can't read file: %s", fn);
    }
    return fp;
}

// The program proper. Tests and fuzzers link the readers and Crash without
// it.
#ifndef VELMOR_NO_MAIN

#ifdef __MINGW32__
// The name reaches the program as typed: no wildcard expansion at start-up,
// as with any Windows console program.
int _dowildcard = 0;
#endif

[[noreturn]] static void Usage()
{
    std::fputs("Velmor Ver " VELMOR_VERSION "\n"
               "Written by the velmor developers.\n"
               "\n"
               "Usage: velmor filename.{jpg|jpeg|bmp}\n",
               stdout);
    leave(0);
}

// True when the last characters of fn (of length n) are ext, in any ASCII
// case; ext is given in lower case.
static bool endsWith(const char* fn, std::size_t n, const char* ext)
{
    std::size_t k = std::strlen(ext);
    if (n < k)
        return false;
    for (const char* c = fn + n - k; *c != '\0'; ++c, ++ext) {
        char lower = *c >= 'A' && *c <= 'Z' ? static_cast<char>(*c - 'A' + 'a') : *c;
        if (lower != *ext)
            return false;
    }
    return true;
}

// Chooses the reader by the ending of the name alone; a refused name is
// never opened.
static int velmor(const char* fn)
{
    std::size_t n = std::strlen(fn);
    if (endsWith(fn, n, ".jpg") || endsWith(fn, n, ".jpeg"))
        getJpgDPI(fn);
    else if (endsWith(fn, n, ".bmp"))
        getBmpDPI(fn);
    else
        Crash("File: %s - must end in .jpg, .jpeg or .bmp\n", fn);
    return 0;
}

int main(int argc, char** argv)
{
    if (argc != 2)
        Usage();
    velmor(argv[1]);
    leave(0);
}

#endif
