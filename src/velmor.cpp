// velmor: print the resolution recorded in the header of a JPEG (JFIF) or
// Windows bitmap file.
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "velmor.h"
#include "version.h"

// Set once a line could not be written to standard output.
static bool lost;

static void print(const char* s, size_t n)
{
    if (!writeOut(s, n))
        lost = true;
}

void printLine(const char* s)
{
    print(s, strlen(s));
}

// Every run ends here, with the status raised to 1 when standard output
// could not be written: a run must not report success for a line that
// never arrived (a full disk, a closed descriptor).
[[noreturn]] static void leave(int status)
{
    if (lost)
        status = 1;
    keepWindow(status);
    exit(status);
}

void Crash(const char* fmt, ...)
{
    // The finished message and its line break go out in one piece. The
    // buffer holds the longest name any command line can carry (an argument
    // of Linux is at most 128 KiB; a Windows command line 32,767 UTF-16
    // units, at most three bytes each in UTF-8) and the words around it, so
    // a message arrives whole; a longer one would be cut. On the stack,
    // where only the pages a message fills are touched: in static storage
    // it would stand between the data the C library's start-up writes and
    // cost every run a page fault.
    char s[131072 + 256];
    va_list ap;
    va_start(ap, fmt);
    int n = vsnprintf(s, sizeof s - 1, fmt, ap);  // NOLINT(clang-analyzer-valist.Uninitialized): started just above
    va_end(ap);
    size_t len = n < 0 ? 0 : static_cast<size_t>(n);
    if (len > sizeof s - 2)
        len = sizeof s - 2;  // what vsnprintf kept
    s[len] = '\n';
    print(s, len + 1);
    leave(1);
}

// The program proper. Tests and fuzzers link the readers and Crash without
// it.
#ifndef VELMOR_NO_MAIN

[[noreturn]] static void Usage()
{
    printLine("Velmor Ver " VELMOR_VERSION "\n"
              "Written by the velmor developers.\n"
              "\n"
              "Usage: velmor filename.{jpg|jpeg|bmp}\n");
    leave(0);
}

// True when the last characters of fn (of length n) are ext, in any ASCII
// case; ext is given in lower case.
static bool endsWith(const char* fn, size_t n, const char* ext)
{
    size_t k = strlen(ext);
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
    size_t n = strlen(fn);
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
    commandLine(&argc, &argv);
    if (argc != 2)
        Usage();
    velmor(argv[1]);
    leave(0);
}

#endif
