#include "platform/linux/ini_settings_store.h"

#include "base/ascii_case.h"
#include "platform/linux/atomic_text_file_writer.h"
#include "platform/linux/unique_fd.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace korvane {
namespace {

struct Entry
{
    std::string key;
    std::string value;
};

// Where a section lives: its folder (one per application) and its file.
struct SectionFile
{
    std::string folder;
    std::string path;
};

constexpr std::string_view kLineBlanks = " \t\r";
// Windows editors begin a UTF-8 file with this mark; it belongs to no line.
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// ---- file text -------------------------------------------------------------------------------

// Escapes what would break the line structure: backslashes, line breaks, control characters and
// blanks at either end (so that blanks around "=" may be trimmed on reading). Keys also escape the
// characters that end a key or start a header or comment.
std::string escape(std::string_view text, bool isKey)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    std::string escaped;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool outerBlank = i < first || i > last; // all of a text of blanks is "outer"
        const bool breaksKey = isKey && (c == '=' || c == '[' || c == ';' || c == '#');
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '\n')
            escaped += "\\n";
        else if (c == '\r')
            escaped += "\\r";
        else if (c < 0x20 || c == 0x7F || outerBlank || breaksKey)
            escaped += { '\\', 'x', kHex[c >> 4], kHex[c & 0xF] };
        else
            escaped += static_cast<char>(c);
    }
    return escaped;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    const char lower = asciiLower(c);
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// Reverses escape(); an unknown escape is kept as written.
std::string unescape(std::string_view text)
{
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string_view rest = text.substr(i);
        if (rest.starts_with("\\\\") || rest.starts_with("\\n") || rest.starts_with("\\r")) {
            plain += rest[1] == 'n' ? '\n' : rest[1] == 'r' ? '\r' : '\\';
            ++i;
        } else if (rest.size() >= 4 && rest.starts_with("\\x") && hexDigit(rest[2]) >= 0 && hexDigit(rest[3]) >= 0) {
            plain += static_cast<char>(hexDigit(rest[2]) * 16 + hexDigit(rest[3]));
            i += 3;
        } else {
            plain += rest[0];
        }
    }
    return plain;
}

std::string_view trimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(kLineBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kLineBlanks) - first + 1);
}

// A "key=value" line, unescaped; nothing for blank lines, headers, ";" and "#" comments and lines
// without "=".
std::optional<Entry> parseEntry(std::string_view lineText)
{
    const std::string_view line = trimBlanks(lineText);
    const auto equals = line.find('=');
    if (line.empty() || line[0] == '[' || line[0] == ';' || line[0] == '#' || equals == std::string_view::npos)
        return std::nullopt;
    return Entry { unescape(trimBlanks(line.substr(0, equals))), unescape(trimBlanks(line.substr(equals + 1))) };
}

std::string entryLine(std::string_view key, std::string_view value)
{
    return escape(key, true) + "=" + escape(value, false);
}

// The text of a profile file, line by line as it stands. The profile is what lies under the first
// section header, up to the next one; its name is not checked, so a file copied from another
// copy's profile still reads. Everything else (lines before the first header, other sections,
// comments, lines without "=") is never read and is written back unchanged, as is a byte order mark.
class ProfileText
{
public:
    explicit ProfileText(std::string_view text)
    {
        if (text.starts_with(kUtf8ByteOrderMark)) {
            m_byteOrderMark = kUtf8ByteOrderMark;
            text.remove_prefix(kUtf8ByteOrderMark.size());
        }
        while (!text.empty()) {
            const auto lineEnd = text.find('\n');
            std::string_view line = text.substr(0, lineEnd);
            text.remove_prefix(lineEnd == std::string_view::npos ? text.size() : lineEnd + 1);
            std::string ending = lineEnd == std::string_view::npos ? "" : "\n";
            if (!ending.empty() && line.ends_with('\r')) {
                line.remove_suffix(1);
                ending = "\r\n";
            }
            m_lines.push_back({ std::string(line), std::move(ending) });
        }
        for (std::size_t i = 0; i < m_lines.size(); ++i) {
            if (!isHeader(m_lines[i]))
                continue;
            if (m_begin != kNone) {
                m_end = i;
                return;
            }
            m_begin = i + 1;
        }
        m_end = m_lines.size();
    }

    // The last value stored under the key, compared without regard to letter case.
    std::optional<std::string> value(std::string_view key) const
    {
        const auto line = lastLineOf(key);
        return line ? parseEntry(m_lines[*line].text)->value : std::optional<std::string>();
    }

    void set(std::string_view section, std::string_view key, std::string_view value)
    {
        if (m_begin == kNone)
            insert(m_lines.size(), "[" + escape(section, true) + "]");
        if (const auto line = lastLineOf(key)) {
            const Entry entry = *parseEntry(m_lines[*line].text);
            if (entry.value != value) // an unchanged value keeps its line byte for byte
                m_lines[*line].text = entryLine(entry.key, value);
            return;
        }
        std::size_t after = m_begin; // after the profile's last entry, else right after its header
        for (std::size_t i = m_begin; i < m_end; ++i) {
            if (parseEntry(m_lines[i].text))
                after = i + 1;
        }
        insert(after, entryLine(key, value));
    }

    std::string text() const
    {
        std::string text = m_byteOrderMark;
        for (const Line& line : m_lines)
            text += line.text + line.ending;
        return text;
    }

private:
    struct Line
    {
        std::string text;
        std::string ending; // "\n", "\r\n", or "" on a last line without a line break
    };
    static constexpr std::size_t kNone = std::string::npos;

    static bool isHeader(const Line& line) { return trimBlanks(line.text).starts_with('['); }

    std::optional<std::size_t> lastLineOf(std::string_view key) const
    {
        for (std::size_t i = m_end; m_begin != kNone && i-- > m_begin;) {
            const auto entry = parseEntry(m_lines[i].text);
            if (entry && equalsIgnoringAsciiCase(entry->key, key))
                return i;
        }
        return std::nullopt;
    }

    // Inserts a line into the profile, or its header at the end of the file, with the line ending
    // of the line before it.
    void insert(std::size_t at, std::string text)
    {
        std::string ending = "\n";
        if (at > 0) {
            std::string& previous = m_lines[at - 1].ending;
            if (previous.empty())
                previous = ending;
            ending = previous;
        }
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), { std::move(text), ending });
        if (m_begin == kNone)
            m_begin = m_end = at + 1;
        else
            ++m_end;
    }

    std::string m_byteOrderMark;
    std::vector<Line> m_lines;
    std::size_t m_begin = kNone; // the line after the first header; kNone when there is no header
    std::size_t m_end = 0; // the next header's line, or the end
};

// ---- file system ---------------------------------------------------------------------------

std::string osReason(std::string_view what, int errorNumber)
{
    return std::string(what) + ": " + std::strerror(errorNumber);
}

std::optional<std::string> homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return std::nullopt;
}

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
std::optional<std::string> configHome()
{
    if (const char* configured = std::getenv("XDG_CONFIG_HOME"); configured && configured[0] == '/')
        return configured;
    if (auto home = homeFolder())
        return *home + "/.config";
    return std::nullopt;
}

// A name used as one file name: refused when it could reach outside its folder.
bool isPlainFileName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos
        && name.find('\0') == std::string_view::npos;
}

// The application's folder, where each section is a file.
std::optional<std::string> applicationFolder(std::string_view application, std::string& error)
{
    if (!isPlainFileName(application)) {
        error = "Not a usable settings name: \"" + std::string(application) + "\"";
        return std::nullopt;
    }
    const auto home = configHome();
    if (!home) {
        error = "The home folder is unknown (HOME is not set)";
        return std::nullopt;
    }
    return *home + "/" + std::string(application);
}

std::optional<SectionFile> locate(std::string_view application, std::string_view section, std::string& error)
{
    if (!isPlainFileName(application) || !isPlainFileName(section)) {
        error = "Not a usable settings name: \"" + std::string(application) + "\" / \"" + std::string(section) + "\"";
        return std::nullopt;
    }
    const auto folder = applicationFolder(application, error);
    if (!folder)
        return std::nullopt;
    return SectionFile { *folder, *folder + "/" + std::string(section) + ".ini" };
}

bool isFolder(const std::string& path)
{
    struct stat info = {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Creates the folder and any missing parents, private to their owner.
bool makeFolders(const std::string& folder, std::string& error)
{
    for (auto slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0) {
            const int reason = errno; // isFolder() may change errno
            if (reason != EEXIST && !isFolder(part)) {
                error = osReason("Cannot create the folder " + part, reason);
                return false;
            }
        }
        if (slash == std::string::npos)
            return true;
    }
}

// A profile file's text; empty when there is no file yet.
struct ProfileFile
{
    std::string text;
    std::string problem; // why the file cannot be read; empty when it can
};

ProfileFile unreadable(const std::string& path, std::string_view reason)
{
    return { {}, "Cannot read the profile " + path + ": " + std::string(reason) };
}

// The profile file's text. Only a regular file is opened: a named pipe would block the start.
ProfileFile readProfileFile(const std::string& path)
{
    struct stat info = {};
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? ProfileFile {} : unreadable(path, std::strerror(errno));
    if (S_ISDIR(info.st_mode))
        return unreadable(path, std::strerror(EISDIR));
    if (!S_ISREG(info.st_mode))
        return unreadable(path, "not a regular file");
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid())
        return unreadable(path, std::strerror(errno));
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) // replaced since the stat()
        return unreadable(path, "not a regular file");
    ProfileFile file;
    char buffer[8192];
    for (;;) {
        const ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
        if (count == 0)
            return file;
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return unreadable(path, std::strerror(errno));
        file.text.append(buffer, static_cast<std::size_t>(count));
    }
}

// Holds an exclusive lock on the application's folder, so that two copies of the program that save
// at the same moment do not lose each other's values.
UniqueFd lockFolder(const std::string& folder)
{
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    while (fd.valid() && ::flock(fd.get(), LOCK_EX) != 0 && errno == EINTR) { }
    return fd;
}

} // namespace

std::string IniSettingsStore::getSetting(std::string_view application,
                                         std::string_view section,
                                         std::string_view key,
                                         std::string_view defaultValue) const
{
    std::string ignoredError;
    const auto file = locate(application, section, ignoredError);
    if (!file)
        return std::string(defaultValue);
    return ProfileText(readProfileFile(file->path).text).value(key).value_or(std::string(defaultValue));
}

Result<> IniSettingsStore::usable(std::string_view application, std::string_view section) const
{
    std::string reason;
    const auto file = locate(application, section, reason);
    if (file)
        reason = readProfileFile(file->path).problem;
    if (!reason.empty())
        return Failure { reason };
    return {};
}

std::vector<std::string> IniSettingsStore::sections(std::string_view application) const
{
    constexpr std::string_view kExtension = ".ini";
    std::string ignoredError;
    const auto folder = applicationFolder(application, ignoredError);
    DIR* listing = folder ? ::opendir(folder->c_str()) : nullptr;
    std::vector<std::string> names;
    if (!listing)
        return names;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        struct stat info = {};
        if (name.size() > kExtension.size() && name.ends_with(kExtension)
            && ::fstatat(::dirfd(listing), entry->d_name, &info, 0) == 0 && S_ISREG(info.st_mode))
            names.emplace_back(name.substr(0, name.size() - kExtension.size()));
    }
    ::closedir(listing);
    return names;
}

Result<> IniSettingsStore::saveSettings(std::string_view application,
                                        std::string_view section,
                                        std::span<const SettingValue> values)
{
    std::string reason;
    const auto file = locate(application, section, reason);
    if (!file || !makeFolders(file->folder, reason))
        return Failure { reason };
    const UniqueFd lock = lockFolder(file->folder);

    // A file that cannot be read is left alone rather than replaced by one holding these values.
    const ProfileFile existing = readProfileFile(file->path);
    if (!existing.problem.empty())
        return Failure { existing.problem };
    ProfileText profile(existing.text);
    for (const auto& [key, value] : values)
        profile.set(section, key, value);
    const Result<std::string> written = writeTextFile(file->path, profile.text(), FilePermissions::OwnerOnly);
    if (!written)
        return Failure { written.error() };
    return {};
}

} // namespace korvane
