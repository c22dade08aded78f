#include "platform/linux/linux_port_listeners.h"

#include "platform/linux/unique_fd.h"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace korvane {
namespace {

constexpr std::string_view kListening = "0A";
constexpr std::string_view kIpv4Table = "/proc/net/tcp";
constexpr std::string_view kIpv6Table = "/proc/net/tcp6";

template <typename Number> std::optional<Number> numberIn(std::string_view text, int base)
{
    Number value {};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// The words of a line, split at spaces.
std::vector<std::string_view> wordsOf(std::string_view line)
{
    std::vector<std::string_view> words;
    for (std::size_t start = line.find_first_not_of(' '); start != std::string_view::npos;) {
        const auto end = line.find(' ', start);
        words.push_back(line.substr(start, end - start));
        start = line.find_first_not_of(' ', end);
    }
    return words;
}

// "0100007F" as "127.0.0.1", "00000000000000000000000001000000" as "::1".
std::optional<std::string> addressText(std::string_view hex)
{
    if (hex.size() != 8 && hex.size() != 32)
        return std::nullopt;
    std::array<unsigned char, 16> bytes {};
    for (std::size_t word = 0; word < hex.size() / 8; ++word) {
        const auto value = numberIn<std::uint32_t>(hex.substr(word * 8, 8), 16);
        if (!value)
            return std::nullopt;
        std::memcpy(bytes.data() + word * 4, &*value, 4);
    }
    std::array<char, INET6_ADDRSTRLEN> text {};
    if (!::inet_ntop(hex.size() == 8 ? AF_INET : AF_INET6, bytes.data(), text.data(), text.size()))
        return std::nullopt;
    return std::string(text.data());
}

// "  0: 0100007F:208C 00000000:0000 0A 00000000:00000000 00:00000000 00000000  1000 ..."
std::optional<PortListener> listenerIn(std::string_view line, std::uint16_t port)
{
    const auto words = wordsOf(line);
    if (words.size() < 8 || words[3] != kListening)
        return std::nullopt;
    const std::string_view local = words[1];
    const auto colon = local.find(':');
    if (colon == std::string_view::npos || numberIn<std::uint16_t>(local.substr(colon + 1), 16) != port)
        return std::nullopt;
    auto address = addressText(local.substr(0, colon));
    if (!address)
        return std::nullopt;
    return PortListener { std::move(*address), numberIn<std::uint32_t>(words[7], 10), std::nullopt, {} };
}

// The whole of a /proc file, or the errno that kept it from being read.
struct ProcFile
{
    std::string text;
    int error = 0;
};

ProcFile readProcFile(const char* path)
{
    ProcFile file;
    const UniqueFd descriptor(::open(path, O_RDONLY | O_CLOEXEC));
    if (!descriptor.valid()) {
        file.error = errno;
        return file;
    }
    std::array<char, 65536> buffer;
    for (;;) {
        const ssize_t count = ::read(descriptor.get(), buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            file.error = count < 0 ? errno : 0;
            return file;
        }
        file.text.append(buffer.data(), static_cast<std::size_t>(count));
    }
}

} // namespace

std::vector<PortListener> listenersInTcpTable(std::string_view table, std::uint16_t port)
{
    std::vector<PortListener> listeners;
    for (std::size_t start = 0; start < table.size();) {
        const auto end = std::min(table.find('\n', start), table.size());
        if (auto listener = listenerIn(table.substr(start, end - start), port))
            listeners.push_back(std::move(*listener));
        start = end + 1;
    }
    return listeners;
}

// A system without IPv6 has no tcp6 table, and so no IPv6 listeners.
Result<std::vector<PortListener>> LinuxPortListeners::listenersOn(std::uint16_t port)
{
    std::vector<PortListener> listeners;
    for (const std::string_view path : { kIpv4Table, kIpv6Table }) {
        const ProcFile table = readProcFile(path.data());
        if (table.error == ENOENT && path == kIpv6Table)
            continue;
        if (table.error != 0)
            return Failure { "cannot read " + std::string(path) + ": " + std::system_category().message(table.error) };
        auto found = listenersInTcpTable(table.text, port);
        listeners.insert(listeners.end(), found.begin(), found.end());
    }
    return listeners;
}

std::optional<std::uint32_t> LinuxPortListeners::fileOwner(const std::string& path)
{
    struct stat info = {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return info.st_uid;
}

std::optional<std::uint32_t> LinuxPortListeners::currentUser()
{
    return ::geteuid();
}

} // namespace korvane
