#include "platform/linux/ini_settings_store.h"

#include "base/ascii_case.h"
#include "platform/linux/atomic_text_file_writer.h"
#include "platform/linux/unique_fd.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
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

Entry* findEntry(std::vector<Entry>& entries, std::string_view key)
{
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&](const Entry& entry) { return equalsIgnoringAsciiCase(entry.key, key); });
    return found == entries.end() ? nullptr : &*found;
}

void setEntry(std::vector<Entry>& entries, std::string_view key, std::string_view value)
{
    if (Entry* existing = findEntry(entries, key))
        existing->value = value;
    else
        entries.push_back({ std::string(key), std::string(value) });
}

// Lines "key=value"; blank lines, "[header]" lines, ";" and "#" comments and lines without "="
// are skipped. A key given twice keeps its last value.
std::vector<Entry> parseIni(std::string_view text)
{
    std::vector<Entry> entries;
    while (!text.empty()) {
        const auto lineEnd = text.find('\n');
        const std::string_view line = trimBlanks(text.substr(0, lineEnd));
        text.remove_prefix(lineEnd == std::string_view::npos ? text.size() : lineEnd + 1);
        const auto equals = line.find('=');
        if (line.empty() || line[0] == '[' || line[0] == ';' || line[0] == '#' || equals == std::string_view::npos)
            continue;
        setEntry(entries, unescape(trimBlanks(line.substr(0, equals))), unescape(trimBlanks(line.substr(equals + 1))));
    }
    return entries;
}

std::string renderIni(std::string_view section, const std::vector<Entry>& entries)
{
    std::string text = "[" + escape(section, true) + "]\n";
    for (const Entry& entry : entries)
        text += escape(entry.key, true) + "=" + escape(entry.value, false) + "\n";
    return text;
}

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

std::optional<SectionFile> locate(std::string_view application, std::string_view section, std::string& error)
{
    if (!isPlainFileName(application) || !isPlainFileName(section)) {
        error = "Not a usable settings name: \"" + std::string(application) + "\" / \"" + std::string(section) + "\"";
        return std::nullopt;
    }
    const auto home = configHome();
    if (!home) {
        error = "The home folder is unknown (HOME is not set)";
        return std::nullopt;
    }
    const std::string folder = *home + "/" + std::string(application);
    return SectionFile { folder, folder + "/" + std::string(section) + ".ini" };
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
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST && !isFolder(part)) {
            error = osReason("Cannot create the folder " + part, errno);
            return false;
        }
        if (slash == std::string::npos)
            return true;
    }
}

enum class ReadStatus
{
    Read,
    Missing,
    Failed,
};

ReadStatus readWholeFile(const std::string& path, std::string& text, int& errorNumber)
{
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) {
        errorNumber = errno;
        return errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed;
    }
    char buffer[8192];
    for (;;) {
        const ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
        if (count == 0)
            return ReadStatus::Read;
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            errorNumber = errno;
            return ReadStatus::Failed;
        }
        text.append(buffer, static_cast<std::size_t>(count));
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

bool fail(std::string* error, std::string reason)
{
    if (error)
        *error = std::move(reason);
    return false;
}

} // namespace

std::string IniSettingsStore::getSetting(std::string_view application,
                                         std::string_view section,
                                         std::string_view key,
                                         std::string_view defaultValue) const
{
    std::string ignoredError;
    const auto file = locate(application, section, ignoredError);
    std::string text;
    int errorNumber = 0;
    if (!file || readWholeFile(file->path, text, errorNumber) != ReadStatus::Read)
        return std::string(defaultValue);
    auto entries = parseIni(text);
    const Entry* entry = findEntry(entries, key);
    return entry ? entry->value : std::string(defaultValue);
}

bool IniSettingsStore::saveSettings(std::string_view application,
                                    std::string_view section,
                                    std::span<const SettingValue> values,
                                    std::string* error)
{
    std::string reason;
    const auto file = locate(application, section, reason);
    if (!file || !makeFolders(file->folder, reason))
        return fail(error, reason);
    const UniqueFd lock = lockFolder(file->folder);

    std::string text;
    int errorNumber = 0;
    // An existing file that cannot be read is left alone rather than replaced by one holding a
    // single value.
    if (readWholeFile(file->path, text, errorNumber) == ReadStatus::Failed)
        return fail(error, osReason("Cannot read " + file->path, errorNumber));
    auto entries = parseIni(text);
    for (const auto& [key, value] : values)
        setEntry(entries, key, value);
    return replaceFileAtomically(file->path, renderIni(section, entries), FilePermissions::OwnerOnly, error);
}

} // namespace korvane
