#include "platform/linux/linux_own_executable.h"

#include <cerrno>
#include <unistd.h>
#include <vector>

namespace korvane {
namespace {

// Full path of the running executable, or the name it was started under when /proc is unavailable.
std::string executablePath()
{
    for (std::size_t size = 256; size <= 65536; size *= 2) {
        std::vector<char> buffer(size);
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            break;
        if (static_cast<std::size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(length));
    }
    return program_invocation_name;
}

} // namespace

std::string LinuxOwnExecutable::name() const
{
    const std::string path = executablePath();
    return stripExeSuffix(path.substr(path.rfind('/') + 1));
}

std::string LinuxOwnExecutable::folder() const
{
    const std::string path = executablePath();
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace korvane
