// Windows' rules for command lines, names and text, on every host: tables
// of documented cases, generated names against a model written from the
// documentation, and round trips. Under Wine the system answers too.
#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "winrules.h"

namespace {

using std::u16string;

// The arguments of a command line, each followed by '|'.
u16string split(const u16string& line)
{
    std::vector<char16_t> out(line.size() + 1);
    u16string args;
    const char16_t* p = out.data();
    for (std::size_t n = splitCommandLine(line.data(), line.size(), out.data(), 99); n > 0; --n, p += 1 + std::char_traits<char16_t>::length(p))
        args += p + u16string(u"|");
    return args;
}

std::string narrow(const u16string& w)
{
    std::string s(3 * w.size(), '\0');
    s.resize(toUtf8(w.data(), w.size(), &s[0], true));
    return s;
}

// Microsoft's examples ("Parsing C++ command-line arguments") after the
// program's name; then the name, which follows a rule of its own (a
// batch file's "%ProgramFiles%"\velmor\velmor.exe).
TEST(CommandLine, SplitsAsTheCRunTimeDoes)
{
    const u16string rows[][2] = {
        {uR"(v "abc" d e)", u"v|abc|d|e|"},          {uR"(v a\\b d"e f"g h)", uR"(v|a\\b|de fg|h|)"},
        {uR"(v a\\\"b c d)", uR"(v|a\"b|c|d|)"},     {uR"(v a\\\\"b c" d e)", uR"(v|a\\b c|d|e|)"},
        {uR"(v a"b"" c d)", uR"(v|ab" c d|)"},       {uR"(v a\\\\ \\"" "")", uR"(v|a\\\\|\||)"},
        {uR"("C:\Program Files"\v\velmor.exe a.jpg)", uR"(C:\Program Files\v\velmor.exe|a.jpg|)"},
        {uR"("C:\v\velmor.exe"x.jpg)", uR"(C:\v\velmor.exex.jpg|)"},
        {uR"("a\"b c)", uR"(a\b|c|)"}, {u" x", u"|x|"}, {u"", u"|"}, {u"v \"", u"v||"}, {u"v\t a\t \t", u"v|a|"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(split(r[0]), r[1]) << narrow(r[0]);
}

// Any argument list quoted by the usual rule (between quotes when it holds
// a blank or a quote, with its quotes and the backslashes before them or
// before the closing quote escaped) splits back to itself.
TEST(CommandLine, QuotedArgumentsSplitBackToThemselves)
{
    const u16string alphabet = u"ab \t\"\\\u00E9\u03A9";
    std::mt19937 rng(16);
    auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n)(rng); };
    for (int trial = 0; trial < 20000; ++trial) {
        u16string line = u"\"v\"", want = u"v|";
        for (std::size_t i = pick(4); i > 0; --i) {
            u16string a;
            for (std::size_t k = pick(6); k > 0; --k)
                a += alphabet[pick(alphabet.size() - 1)];
            want += a + u"|";
            const bool plain = !a.empty() && a.find_first_of(u" \t\"") == u16string::npos;
            line += plain ? u" " : u" \"";
            std::size_t slashes = 0;
            for (char16_t c : a) {
                if (c == u'"' && !plain)
                    line.append(slashes + 1, u'\\');
                slashes = c == u'\\' ? slashes + 1 : 0;
                line += c;
            }
            if (!plain)
                line.append(slashes, u'\\') += u'"';
        }
        ASSERT_EQ(split(line), want) << narrow(line);
    }
}

// Any UTF-16, lone surrogates included, comes back from its WTF-8 form, and
// from its UTF-8 form for output with U+FFFD for each lone surrogate.
TEST(Text, Utf16ComesBackFromUtf8)
{
    std::mt19937 rng(16);
    for (int trial = 0; trial < 50000; ++trial) {
        u16string w(trial % 12, u'\0');
        for (auto& c : w)  // one in three a surrogate
            c = static_cast<char16_t>(rng() % 3 == 0 ? 0xD800 + rng() % 0x800 : rng() % 0x10000);
        u16string fixed = w;
        for (std::size_t i = 0; i < w.size(); ++i) {
            if (w[i] >= 0xD800 && w[i] < 0xDC00 && i + 1 < w.size() && w[i + 1] >= 0xDC00 && w[i + 1] < 0xE000)
                ++i;
            else if (w[i] >= 0xD800 && w[i] < 0xE000)
                fixed[i] = 0xFFFD;
        }
        for (bool wtf8 : {true, false}) {
            std::string s(3 * w.size(), '\0');
            s.resize(toUtf8(w.data(), w.size(), &s[0], wtf8));
            u16string back(w.size() + 1, u'x');
            back.resize(toUtf16(s.data(), s.size(), &back[0], w.size()));
            ASSERT_EQ(back, wtf8 ? w : fixed) << trial;
        }
    }
    char16_t w[8];
    EXPECT_EQ(toUtf16("\xC0\xAF" "a\xE2\x82", 5, w, 7), 5u);  // overlong, cut short
    EXPECT_EQ(u16string(w), u"\uFFFD\uFFFDa\uFFFD\uFFFD");
    EXPECT_EQ(toUtf16("\xF0\x9F\x98\x80", 4, w, 1), 2u);  // no room for the pair
}

// The cases reported from Windows, then the model below does the rest.
TEST(Names, DevicesAndFilesThatLookLikeThem)
{
    for (const char16_t* device : {u"COM9:.jpg", uR"(sub\COM9:.jpg)", u"AUX :x.jpg", u"C:com1.jpg",
                                   u"COM\u00B9.jpg", u"CONIN$.jpg", uR"(\\srv\\\PIPE\x.jpg)", uR"(\\\pipe\x.jpg)",
                                   uR"(\\.\C:\..\pipe\x.jpg)", uR"(\\?\unc\srv\mailslot\a.jpg)", uR"(\??\COM1.jpg)",
                                   uR"(\\?\\C:\photos\a.jpg)", uR"(\\.\UNC\srv\.\pipe\x.jpg)"})
        EXPECT_TRUE(isDeviceName(device)) << narrow(device);
    for (const char16_t* file : {uR"(\\server\share\COM1.jpg)", uR"(\\.\C:\photos\a.jpg)", uR"(\\?\C:\photos\COM1.jpg)",
                                 u"COM0.jpg", u"COM10.jpg", u" CON.jpg", u"x:y:CON.jpg", uR"(\\srv\pipes\a.jpg)",
                                 uR"(\\.\\C:\photos\a.jpg)", u"//.//C:/photos/a.jpg", uR"(\\.\.\C:\photos\a.jpg)",
                                 u"//?//C:/photos/a.jpg", uR"(\\.\\UNC\server\share\a.jpg)"})
        EXPECT_FALSE(isDeviceName(file)) << narrow(file);
}

TEST(Names, SysnativeAndTheLongForm)
{
    EXPECT_TRUE(throughSysnative(uR"(\\?\c:/windows/SYSNATIVE/a.jpg)"));
    EXPECT_FALSE(throughSysnative(uR"(C:\Windows\Sysnatives\Sysnative.jpg)"));
    // The absolute form of 259 units and of 260, with C:\x\.
    const u16string a259(254, u'a'), a260(255, u'a');
    const u16string rows[][2] = {
        {uR"(C:\x\)" + a259, uR"(C:\x\)" + a259},        {uR"(C:\x\)" + a260, uR"(\\?\C:\x\)" + a260},
        {uR"(\\s\x\)" + a260, uR"(\\?\UNC\s\x\)" + a260}, {uR"(\\.\C:\)" + a260, uR"(\\?\C:\)" + a260},
    };
    for (const auto& r : rows) {
        std::vector<char16_t> out(r[0].size() + 9);
        EXPECT_EQ(openName(r[0].c_str(), r[0].size(), out.data()), r[1]) << narrow(r[0]);
    }
}

// The rule as Microsoft documents it ("Naming Files, Paths, and
// Namespaces"; CreateFileW for CONIN$ and CONOUT$), written apart from
// velmor's code. The page also lists COM0 and LPT0, which Windows' own
// conversion of names does not take for devices (nor does Python's
// pathlib): velmor reads such files.
u16string upper(u16string s)
{
    for (auto& c : s)
        c = c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
    return s;
}

bool isSep(char16_t c)
{
    return c == u'\\' || c == u'/';
}

std::vector<u16string> parts(const u16string& s)  // empty parts dropped
{
    std::vector<u16string> p(1);
    for (char16_t c : s) {
        if (!isSep(c))
            p.back() += c;
        else if (!p.back().empty())
            p.emplace_back();
    }
    if (p.back().empty())
        p.pop_back();
    return p;
}

// The pipe and mailslot shares, also written with one '.' more.
// GetFullPathNameW drops that '.' in the device namespace (it makes
// \\.\UNC\srv\pipe\x of \\.\UNC\srv\pipe.\x) and keeps it on a plain share
// (\\srv\pipe.\x); whether a server takes "pipe." for its pipe share is not
// known, so velmor refuses both.
bool pipeShare(u16string s)
{
    s = upper(s);
    if (!s.empty() && s.back() == u'.')
        s.pop_back();
    return s == u"PIPE" || s == u"MAILSLOT";
}

// After \\?\ or \\.\ only a path on a drive, a share or a volume is a file.
bool fileRoot(const std::vector<u16string>& p)
{
    const u16string f = p.empty() ? u"" : upper(p[0]);
    if (f.size() == 2 && f[1] == u':' && f[0] >= u'A' && f[0] <= u'Z')
        return p.size() > 1;
    if (f == u"UNC")
        return p.size() > 3 && !pipeShare(p[2]);
    u16string shape = f;  // Volume{GUID}
    for (auto& c : shape)
        c = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') ? u'h' : c;
    return p.size() > 1 && shape == u"VOLUMh{hhhhhhhh-hhhh-hhhh-hhhh-hhhhhhhhhhhh}";
}

bool modelDevice(const u16string& name, bool* climbs)
{
    const bool sep2 = name.size() > 3 && isSep(name[0]) && isSep(name[1]);
    if (name.rfind(uR"(\\?\)", 0) == 0 || name.rfind(uR"(\??\)", 0) == 0)  // taken as it stands
        return isSep(name[4]) || !fileRoot(parts(name.substr(4)));
    if (sep2 && (name[2] == u'.' || name[2] == u'?') && isSep(name[3])) {
        std::vector<u16string> p;  // the device namespace: normalised, . and .. resolved
        for (const auto& part : parts(name.substr(4))) {
            if (part == u"..") {
                *climbs = true;
                if (!p.empty())
                    p.pop_back();
            } else if (part != u".") {
                p.push_back(part);
            }
        }
        return !fileRoot(p);
    }
    if (sep2) {  // \\server\share\...: no reserved names
        const auto p = parts(name);
        return p.size() > 1 && pipeShare(p[1]);
    }
    static const std::set<u16string> reserved = {
        u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$", u"COM1", u"COM2", u"COM3", u"COM4", u"COM5", u"COM6",
        u"COM7", u"COM8", u"COM9", u"COM\u00B9", u"COM\u00B2", u"COM\u00B3", u"LPT1", u"LPT2", u"LPT3", u"LPT4",
        u"LPT5", u"LPT6", u"LPT7", u"LPT8", u"LPT9", u"LPT\u00B9", u"LPT\u00B2", u"LPT\u00B3"};
    u16string last = name.substr(name.size() > 1 && name[1] == u':' ? 2 : 0);
    last = last.substr(last.find_last_of(u"\\/") + 1);  // the last part,
    last = last.substr(0, last.find_first_of(u".:"));    // before an ending or a stream,
    last = last.substr(0, last.find_last_not_of(u' ') + 1);  // blanks dropped
    return reserved.count(upper(last)) != 0;
}

// Every name made of one of each: a form of path, a word, what may follow
// it, an ending.
std::vector<u16string> generatedNames()
{
    const char16_t* forms[] = {
        u"", u"C:", uR"(c:\)", u"C:/", uR"(\)", uR"(sub\)", u"a b/", uR"(..\)", uR"(\\srv\share\)", u"//srv/share/",
        uR"(\\srv\pipe\)", uR"(\\srv\\PIPE\)", uR"(\\\srv\MailSlot\)", uR"(\\srv\pipes\)", uR"(\\.\)", uR"(\\.\C:\)",
        u"//./c:/", uR"(\\.\C:\..\)", uR"(\\.\C:\sub\..\)", uR"(\\.\UNC\srv\share\)", uR"(\\.\pipe\)", uR"(\\?\)",
        uR"(\\?\C:\)", uR"(\\?\C:)", uR"(\\?\C:\..\)", uR"(\\?\UNC\srv\share\)", uR"(\\?\unc\srv\pipe\)",
        uR"(\\?\Volume{01234567-89ab-cdef-0123-456789abcdef}\)", uR"(\\?\GLOBALROOT\)", uR"(\??\)", uR"(\??\C:\)",
        u"//?/", u"//?/C:/", u"/", uR"(\\.\\C:\)", u"//.//c:/", uR"(\\.\.\C:\)", u"//?//C:/", uR"(\\.\.\)",
        uR"(\\.\\UNC\srv\share\)", uR"(\\.\UNC\srv\.\pipe\)", uR"(\\?\\C:\)", uR"(\\.\UNC\srv\pipe.\)",
        uR"(\\srv\mailslot.\)",
    };
    const char16_t* words[] = {u"CON", u"con", u"PRN", u"AUX", u"NUL", u"COM1", u"com9", u"COM0", u"COM10", u"LPT1",
                               u"lpt9", u"LPT0", u"COM\u00B9", u"LPT\u00B3", u"COM\u2074", u"CONIN$", u"conout$",
                               u"CONERR$", u"NULL", u"CO", u"X", u" CON", u"\uFF23\uFF2F\uFF2E", u""};
    const char16_t* tails[] = {u"", u" ", u"  ", u":", u":x", u": .y", u" :", u".", u".x", u" .tar", u"\t", u"\u00A0"};
    std::vector<u16string> names;
    for (auto f : forms)
        for (auto w : words)
            for (auto t : tails)
                for (auto e : {u".jpg", u".JPEG", u".bmp"})
                    names.push_back(u16string(f) + w + t + e);
    return names;
}

// velmor refuses any ".." in the device namespace, where the system could
// climb out of the drive with it: stricter than the model, which resolves
// them.
TEST(Names, GeneratedNamesAgreeWithTheDocumentedRule)
{
    int devices = 0;
    for (const auto& name : generatedNames()) {
        bool climbs = false;
        const bool model = modelDevice(name, &climbs);
        ASSERT_EQ(isDeviceName(name.c_str()), model || climbs) << narrow(name);
        devices += model;
    }
    EXPECT_GT(devices, 10000);
}

// What the running system makes of the same names: one it turns into the
// device namespace (\\.\) or a verbatim name (//?/COM1.jpg becomes
// \\?\COM1.jpg, which opens the device) other than a drive, a share or a
// volume is one velmor refuses too.
TEST(Names, SystemDevicesAreRefused)
{
#ifndef _WIN32
    GTEST_SKIP() << "needs Windows";
#else
    int devices = 0;
    std::vector<wchar_t> full(kWideMax + 1);
    for (const auto& name : generatedNames()) {
        DWORD n = GetFullPathNameW(reinterpret_cast<const wchar_t*>(name.c_str()), kWideMax + 1, full.data(), nullptr);
        ASSERT_GT(n, 0u) << narrow(name);
        const u16string f(reinterpret_cast<const char16_t*>(full.data()), n);
        const bool space = f.rfind(uR"(\\.\)", 0) == 0 || f.rfind(uR"(\\?\)", 0) == 0;
        if (!isVerbatim(name.c_str()) && space && !fileRoot(parts(f.substr(4)))) {
            ++devices;
            EXPECT_TRUE(isDeviceName(name.c_str())) << narrow(name) << " is " << narrow(f);
        }
    }
    EXPECT_GT(devices, 1000);
#endif
}

}  // namespace
