// Windows: whether a standard handle is a console, which the units that
// write lines and keep the window ask alike.
#ifndef VELMOR_WINCONSOLE_H
#define VELMOR_WINCONSOLE_H

#include <windows.h>

inline bool isConsole(HANDLE h)
{
    DWORD mode = 0;
    return h != nullptr && h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode) != 0;
}

#endif
