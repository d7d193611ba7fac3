// Windows' rules for command lines and file names, as pure functions (see
// winrules.h). Text is UTF-16 in char16_t, the same on every host.
#include <stdint.h>

#include "winrules.h"

namespace {

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

bool isSep(char16_t c)
{
    return c == u'\\' || c == u'/';
}

char16_t upper(char16_t c)
{
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

// True when the n units at w spell word (upper-case ASCII) in any case.
bool same(const char16_t* w, size_t n, const char* word)
{
    for (size_t i = 0; i < n; ++i, ++word)
        if (*word == '\0' || upper(w[i]) != static_cast<char16_t>(*word))
            return false;
    return *word == '\0';
}

// Where the part of the path that starts at w ends: at a separator or at
// the end.
const char16_t* partEnd(const char16_t* w)
{
    while (*w != u'\0' && !isSep(*w))
        ++w;
    return w;
}

// Past the separators from w on, and past "." parts among them, which
// name the folder they stand in: the system drops both when it normalises
// a path.
const char16_t* skipSeps(const char16_t* w)
{
    for (;;) {
        while (isSep(*w))
            ++w;
        if (w[0] != u'.' || (w[1] != u'\0' && !isSep(w[1])))
            return w;
        ++w;
    }
}

// ---- The command line ----

// A run of backslashes in an argument: before a quote, half of them (cut
// down) and the quote itself when they are odd; elsewhere all of them.
const char16_t* backslashes(const char16_t* p, const char16_t* stop, char16_t*& o)
{
    const char16_t* q = p;
    while (p < stop && *p == u'\\')
        ++p;
    const bool beforeQuote = p < stop && *p == u'"';
    for (auto k = static_cast<size_t>(beforeQuote ? (p - q) / 2 : p - q); k > 0; --k)
        *o++ = u'\\';
    if (beforeQuote && (p - q) % 2 == 1)
        *o++ = *p++;
    return p;
}

// One argument after the program's name, up to a blank outside quotes;
// copied to o with its terminating zero. Gives where it ends.
const char16_t* argument(const char16_t* p, const char16_t* stop, char16_t*& o)
{
    bool quoted = false;
    while (p < stop && (quoted || !isBlank(*p))) {
        if (*p == u'\\') {
            p = backslashes(p, stop, o);
        } else if (*p == u'"' && quoted && p + 1 < stop && p[1] == u'"') {
            *o++ = u'"';
            p += 2;
        } else if (*p == u'"') {
            quoted = !quoted;
            ++p;
        } else {
            *o++ = *p++;
        }
    }
    *o++ = u'\0';
    return p;
}

// ---- Text ----

// The character whose UTF-8 form starts at p (before end), stepping past
// it. A surrogate's three-byte form gives the surrogate; a malformed
// sequence gives U+FFFD and a step of one byte.
uint32_t nextChar(const unsigned char*& p, const unsigned char* end)
{
    const unsigned char b = *p;
    const size_t len = b < 0x80 ? 1 : b >= 0xC2 && b < 0xE0 ? 2 : b >= 0xE0 && b < 0xF0 ? 3 : b >= 0xF0 && b < 0xF5 ? 4 : 0;
    static const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (len == 0 || static_cast<size_t>(end - p) < len) {
        ++p;
        return 0xFFFD;
    }
    uint32_t c = len == 1 ? b : b & (0x7FU >> len);
    for (size_t i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            ++p;
            return 0xFFFD;
        }
        c = c << 6 | (p[i] & 0x3FU);
    }
    if (c < least[len] || c > 0x10FFFF) {
        ++p;
        return 0xFFFD;
    }
    p += len;
    return c;
}

// ---- Names ----

// True for a drive's root, X:\ (or X:/).
bool isDrive(const char16_t* w)
{
    const char16_t c = upper(w[0]);
    return c >= u'A' && c <= u'Z' && w[1] == u':' && isSep(w[2]);
}

// True for the volume name Volume{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}
// followed by a separator.
bool isVolume(const char16_t* w)
{
    if (!same(w, 7, "VOLUME{"))
        return false;
    w += 7;
    for (int i = 0; i < 36; ++i) {
        const char16_t c = upper(w[i]);
        const bool hex = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
        if (i == 8 || i == 13 || i == 18 || i == 23 ? c != u'-' : !hex)
            return false;
    }
    return w[36] == u'}' && isSep(w[37]);
}

// True for a server's pipe or mailslot share. w points past the separators
// that start a share's name (\\server\share\... or UNC\server\share\...); a
// run of separators counts as one, and "." parts are passed over. With more
// separators in front, the first part may be taken for the share as well:
// that reading counts too. A share's name may end in one '.' more, which the
// system drops from a part when it normalises a path (\\.\UNC\srv\pipe.\).
bool isPipeShare(const char16_t* w)
{
    const bool extra = isSep(*w);
    const char16_t* server = skipSeps(w);
    const char16_t* share = skipSeps(partEnd(server));
    auto isPipe = [](const char16_t* part) {
        auto k = static_cast<size_t>(partEnd(part) - part);
        if (k > 0 && part[k - 1] == u'.')
            --k;
        return same(part, k, "PIPE") || same(part, k, "MAILSLOT");
    };
    return isPipe(share) || (extra && isPipe(server));
}

// True when some part of the path is ".."; w is where the parts start.
bool climbs(const char16_t* w)
{
    for (w = skipSeps(w); *w != u'\0'; w = skipSeps(partEnd(w)))
        if (partEnd(w) - w == 2 && w[0] == u'.' && w[1] == u'.')
            return true;
    return false;
}

// True when what follows \\?\ or \\.\ is a path to a file: on a drive, on
// a server's share other than a pipe or a mailslot, or on a volume named
// by its GUID. Anything else there is a device (\\.\COM1, \\.\pipe\x,
// \\?\GLOBALROOT\...), and so is the bare drive or volume.
bool isFilePath(const char16_t* rest)
{
    if (same(rest, 3, "UNC") && isSep(rest[3]))
        return !isPipeShare(rest + 4);
    return isDrive(rest) || isVolume(rest);
}

// True when the last part of the path names a device: after the last
// separator (or a drive's X:), up to its first '.' or ':', blanks before
// that dropped, it is CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9 (the digits
// also as ¹ ² ³), CONIN$ or CONOUT$, in any case.
bool isReservedLastPart(const char16_t* w)
{
    const char16_t* last = w[0] != u'\0' && w[1] == u':' ? w + 2 : w;
    for (const char16_t* c = last; *c != u'\0'; ++c)
        if (isSep(*c))
            last = c + 1;
    size_t k = 0;
    while (last[k] != u'\0' && last[k] != u'.' && last[k] != u':')
        ++k;
    while (k > 0 && last[k - 1] == u' ')
        --k;
    if (k == 4 && (same(last, 3, "COM") || same(last, 3, "LPT"))) {
        const char16_t d = last[3];
        return (d >= u'1' && d <= u'9') || d == u'\u00B9' || d == u'\u00B2' || d == u'\u00B3';
    }
    return same(last, k, "CON") || same(last, k, "PRN") || same(last, k, "AUX") ||
           same(last, k, "NUL") || same(last, k, "CONIN$") || same(last, k, "CONOUT$");
}

}  // namespace

size_t splitCommandLine(const char16_t* line, size_t n, char16_t* out, size_t maxArgs)
{
    const char16_t* p = line;
    const char16_t* const stop = line + n;
    // The program's name.
    bool quoted = false;
    for (; p < stop && (quoted || !isBlank(*p)); ++p) {
        if (*p == u'"')
            quoted = !quoted;
        else
            *out++ = *p;
    }
    *out++ = u'\0';
    // Then the arguments, each after a run of blanks. The program's name
    // and each argument end at a blank or at the end of the line, so with
    // their terminating zeros they fill at most n + 1 units.
    size_t count = 1;
    for (;;) {
        while (p < stop && isBlank(*p))
            ++p;
        if (p == stop || count >= maxArgs)
            return count;
        p = argument(p, stop, out);
        ++count;
    }
}

size_t toUtf16(const char* s, size_t n, char16_t* out, size_t cap)
{
    const auto* p = reinterpret_cast<const unsigned char*>(s);
    const unsigned char* const end = p + n;
    size_t k = 0;
    while (p < end) {
        const uint32_t c = nextChar(p, end);
        if (k + (c >= 0x10000 ? 2 : 1) > cap)
            return cap + 1;
        if (c < 0x10000) {
            out[k++] = static_cast<char16_t>(c);
        } else {
            out[k++] = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out[k++] = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    out[k] = u'\0';
    return k;
}

size_t toUtf8(const char16_t* w, size_t n, char* out, bool wtf8)
{
    char* o = out;
    for (size_t i = 0; i < n; ++i) {
        uint32_t c = w[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && w[i + 1] >= 0xDC00 && w[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (w[++i] - 0xDC00U);
        else if (c >= 0xD800 && c < 0xE000 && !wtf8)
            c = 0xFFFD;
        if (c < 0x80) {
            *o++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *o++ = static_cast<char>(0xC0 | c >> 6);
            *o++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *o++ = static_cast<char>(0xE0 | c >> 12);
            *o++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
            *o++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *o++ = static_cast<char>(0xF0 | c >> 18);
            *o++ = static_cast<char>(0x80 | (c >> 12 & 0x3F));
            *o++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
            *o++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return static_cast<size_t>(o - out);
}

bool isVerbatim(const char16_t* name)
{
    return name[0] == u'\\' && (name[1] == u'\\' || name[1] == u'?') && name[2] == u'?' && name[3] == u'\\';
}

// A device is:
// - behind \\?\ or \??\: anything but a path on a drive, a server's share
//   (UNC\server\share, not a pipe or mailslot) or a volume GUID;
// - in the device namespace (\\.\ or //?/, any separators): the same, and
//   any ".." there, which the system resolves and which could climb out of
//   the drive or the share (\\.\C:\..\COM1). The system normalises such a
//   path before it opens it, so the path is taken as it then stands: runs
//   of separators as one, "." parts dropped (\\.\\C:\ and \\.\.\C:\ are
//   \\.\C:\);
// - on a server's share (\\server\share\...): its pipe or mailslot share,
//   a run of separators counted as one; no name there is reserved;
// - any other name: a last part that is a reserved device name.
bool isDeviceName(const char16_t* name)
{
    if (isVerbatim(name))
        return !isFilePath(name + 4);
    if (isSep(name[0]) && isSep(name[1])) {
        if ((name[2] == u'.' || name[2] == u'?') && (name[3] == u'\0' || isSep(name[3]))) {
            const char16_t* rest = skipSeps(name + 3);
            return !isFilePath(rest) || climbs(rest);
        }
        return isPipeShare(name + 2);
    }
    return isReservedLastPart(name);
}

bool throughSysnative(const char16_t* path)
{
    for (const char16_t* w = skipSeps(path); *w != u'\0'; w = skipSeps(partEnd(w)))
        if (same(w, static_cast<size_t>(partEnd(w) - w), "SYSNATIVE"))
            return true;
    return false;
}

const char16_t* openName(const char16_t* full, size_t n, char16_t* out)
{
    // MAX_PATH: 260 units with the terminating zero.
    if (n < 260)
        return full;
    const char16_t* prefix = u"\\\\?\\";
    if (isSep(full[0]) && isSep(full[1])) {
        if ((full[2] == u'.' || full[2] == u'?') && isSep(full[3]))
            full += 4, n -= 4;  // \\.\C:\... is \\?\C:\...
        else
            prefix = u"\\\\?\\UNC\\", full += 2, n -= 2;  // \\server\share\...
    }
    char16_t* o = out;
    while (*prefix != u'\0')
        *o++ = *prefix++;
    for (size_t i = 0; i < n; ++i)
        *o++ = full[i];
    *o = u'\0';
    return out;
}
