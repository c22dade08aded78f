#include "platform/linux/linux_own_executable.h"

#include "platform/linux/program_search.h"

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace korvane {
namespace {

constexpr const char* kSelf = "/proc/self/exe";

// Full path of the running executable, or the name it was started under when /proc is unavailable.
std::string executablePath()
{
    for (std::size_t size = 256; size <= 65536; size *= 2) {
        std::vector<char> buffer(size);
        const ssize_t length = ::readlink(kSelf, buffer.data(), buffer.size());
        if (length < 0)
            break;
        if (static_cast<std::size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(length));
    }
    return program_invocation_name;
}

bool isFile(const std::string& path, const struct stat& file)
{
    struct stat info = {};
    return ::stat(path.c_str(), &info) == 0 && info.st_dev == file.st_dev && info.st_ino == file.st_ino;
}

// The path the first command-line word started this executable through, if it did.
std::optional<std::string> startedThrough(const std::string& firstWord)
{
    struct stat self = {};
    if (::stat(kSelf, &self) != 0)
        return std::nullopt;
    for (const std::string& candidate : programSearchPaths(firstWord)) {
        if (isFile(candidate, self))
            return candidate;
    }
    return std::nullopt;
}

// The folder part of a path, absolute and with symbolic links resolved where it exists.
std::string absoluteFolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(folder.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : folder;
}

} // namespace

LinuxOwnExecutable::LinuxOwnExecutable()
{
    const std::string path = startedThrough(program_invocation_name).value_or(executablePath());
    m_name = stripExeSuffix(path.substr(path.rfind('/') + 1));
    m_folder = absoluteFolderOf(path);
}

} // namespace korvane
