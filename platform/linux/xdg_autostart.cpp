#include "platform/linux/xdg_autostart.h"

#include "platform/linux/atomic_text_file_writer.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {
namespace {

// Says which copy wrote the entry, so that only its own entry is ever removed.
constexpr std::string_view kProgramKey = "X-QL-KORVANE-Program=";
constexpr std::string_view kEnvProgram = "/usr/bin/env";

std::string readWhole(const std::string& path, bool* found)
{
    std::ifstream in(path, std::ios::binary);
    *found = static_cast<bool>(in);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool hasLine(const std::string& text, const std::string& line)
{
    std::istringstream lines(text);
    for (std::string each; std::getline(lines, each);) {
        if (each == line)
            return true;
    }
    return false;
}

// Creates the folder and its missing parents.
Result<> makeFolders(const std::string& folder)
{
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return Failure { "cannot create the folder " + part + ": " + std::strerror(errno) };
        if (slash == std::string::npos)
            return {};
    }
}

bool holdsLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// A UTF-8 lead byte's sequence length and the range its second byte must fall in (RFC 3629), so
// that no overlong form or surrogate passes; a length of 0 for a byte that leads nothing.
struct Utf8Lead
{
    std::size_t length;
    int low;
    int high;
};

Utf8Lead utf8Lead(int c)
{
    if (c < 0x80)
        return { 1, 0, 0 };
    if (c >= 0xC2 && c <= 0xDF)
        return { 2, 0x80, 0xBF };
    if (c >= 0xE0 && c <= 0xEF)
        return { 3, c == 0xE0 ? 0xA0 : 0x80, c == 0xED ? 0x9F : 0xBF };
    if (c >= 0xF0 && c <= 0xF4)
        return { 4, c == 0xF0 ? 0x90 : 0x80, c == 0xF4 ? 0x8F : 0xBF };
    return { 0, 0, 0 };
}

bool isUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const Utf8Lead lead = utf8Lead(static_cast<unsigned char>(text[i]));
        if (lead.length == 0 || text.size() - i < lead.length)
            return false;
        for (std::size_t k = 1; k < lead.length; ++k) {
            const int c = static_cast<unsigned char>(text[i + k]);
            const bool inRange = k == 1 ? c >= lead.low && c <= lead.high : (c & 0xC0) == 0x80;
            if (!inRange)
                return false;
        }
        i += lead.length;
    }
    return true;
}

// The path quoted as one argument of an Exec line: inside quotes '"', '`', '$' and '\' take a
// backslash; then the string escape doubles every backslash, and a field code's '%' is doubled.
std::string quotedExecArgument(std::string_view path)
{
    std::string value = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$')
            value += "\\\\";
        if (c == '\\')
            value += "\\\\\\";
        value += c == '%' ? std::string("%%") : std::string(1, c);
    }
    return value + '"';
}

// A value of the entry's string type: a backslash is written doubled.
std::string entryString(std::string_view text)
{
    std::string value;
    for (char c : text)
        value += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return value;
}

} // namespace

std::string autostartFolder()
{
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && *configHome == '/')
        return std::string(configHome) + "/autostart";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config/autostart";
}

std::string desktopExecValue(std::string_view programPath)
{
    // GLib, and so GNOME, looks for the program under the line's first word as it stands, before a
    // "%%" becomes "%", and refuses the entry when there is no such file: such a path is handed to
    // env instead, which GLib finds and which starts it.
    const std::string quoted = quotedExecArgument(programPath);
    return programPath.find('%') == std::string_view::npos ? quoted : std::string(kEnvProgram) + " " + quoted;
}

std::string autostartEntryText(std::string_view name, std::string_view programPath)
{
    std::string text = "[Desktop Entry]\n"
                       "Type=Application\n";
    text += "Name=QL-KORVANE - " + entryString(name) + "\n";
    text += "Comment=Looks after the node of the copy " + entryString(name) + "\n";
    text += "Exec=" + desktopExecValue(programPath) + "\n";
    text += "Icon=ql-korvane\n"
            "Terminal=false\n"
            "X-GNOME-Autostart-enabled=true\n";
    text += std::string(kProgramKey) + entryString(programPath) + "\n";
    return text;
}

XdgAutostart::XdgAutostart(std::string name, std::string programPath)
    : m_name(std::move(name))
    , m_programPath(std::move(programPath))
    , m_entryPath(autostartFolder() + "/" + m_name + ".desktop")
{
}

bool XdgAutostart::entryStartsThisCopy() const
{
    bool found = false;
    const std::string text = readWhole(m_entryPath, &found);
    // Earlier versions wrote the path alone where it holds '%'.
    return found && hasLine(text, std::string(kProgramKey) + entryString(m_programPath))
        && (hasLine(text, "Exec=" + desktopExecValue(m_programPath))
            || hasLine(text, "Exec=" + quotedExecArgument(m_programPath)));
}

bool XdgAutostart::enabled() const
{
    bool found = false;
    const std::string text = readWhole(m_entryPath, &found);
    return entryStartsThisCopy() && !hasLine(text, "Hidden=true") && !hasLine(text, "X-GNOME-Autostart-enabled=false");
}

Result<> XdgAutostart::enable()
{
    if (holdsLineBreak(m_programPath))
        return Failure { "the program's path holds a line break, which a desktop entry cannot hold" };
    if (!isUtf8(m_programPath))
        return Failure { "the program's path is not UTF-8 text, which a desktop entry must be" };
    if (Result<> folder = makeFolders(autostartFolder()); !folder)
        return folder;
    struct stat existing
    {
    };
    if (::lstat(m_entryPath.c_str(), &existing) == 0 && !entryStartsThisCopy())
        return Failure { m_entryPath + " is there already and starts another program; it was left as it is" };
    return replaceFileAtomically(m_entryPath, autostartEntryText(m_name, m_programPath), FilePermissions::Default);
}

Result<> XdgAutostart::disable()
{
    struct stat existing
    {
    };
    if (::lstat(m_entryPath.c_str(), &existing) != 0)
        return {};
    if (!entryStartsThisCopy())
        return Failure { m_entryPath + " starts another program; it was left as it is" };
    if (::unlink(m_entryPath.c_str()) != 0)
        return Failure { "cannot remove " + m_entryPath + ": " + std::strerror(errno) };
    return {};
}

} // namespace korvane
