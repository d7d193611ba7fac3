// The POSIX side of velmor: the header read through a descriptor, lines
// written straight to standard output. No stream: a run costs what its
// system calls cost, and nothing is allocated.
#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "velmor.h"

void commandLine(int* /*argc*/, char*** /*argv*/)
{
    // main's own arguments are the bytes of the command line as typed.
}

void readHeader(const char* fn, unsigned char* buff, size_t n)
{
    // Read-only: nothing is ever written, and a file the user may read but
    // not write is still reported. openat, because musl's open follows an
    // O_CLOEXEC open with a needless fcntl for kernels older than 2.6.23.
    int fd = openat(AT_FDCWD, fn, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        Crash("File %s - not found.", fn);
    // Read from offset 0 by position, the seek and the read in one call. A
    // named pipe opens without waiting for a writer, then cannot be read
    // at a position: the seek failed.
    for (size_t got = 0; got < n;) {
        ssize_t r = pread(fd, buff + got, n - got, static_cast<off_t>(got));
        if (r > 0)
            got += static_cast<size_t>(r);
        else if (r < 0 && errno == EINTR)
            continue;
        else if (r < 0 && errno == ESPIPE)
            Crash("Seek failed.");
        // Some systems open a folder for reading; it is still no file.
        else if (r < 0 && errno == EISDIR)
            Crash("File %s - not found.", fn);
        else
            Crash("Can't read file: %s", fn);
    }
    close(fd);
}

bool writeOut(const char* s, size_t n)
{
    while (n > 0) {
        ssize_t r = write(STDOUT_FILENO, s, n);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return false;
        s += r;
        n -= static_cast<size_t>(r);
    }
    return true;
}

void keepWindow(int /*status*/)
{
    // A terminal's window stays when a program ends.
}
