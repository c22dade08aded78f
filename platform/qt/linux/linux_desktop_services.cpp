#include "platform/qt/desktop_services.h"
#include "platform/qt/linux/dbus_keep_awake.h"
#include "platform/qt/linux/dbus_notices.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {
namespace {

constexpr const char* kAddressVariable = "DBUS_SESSION_BUS_ADDRESS";
// An address of no transport: libdbus, which the GUI toolkit uses, refuses it and starts nothing.
constexpr const char* kNoBus = "disabled:";

// A value in a D-Bus address: bytes other than a few safe ones are written as %XX.
std::string addressValue(std::string_view text)
{
    std::string value;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || std::strchr("-_/.\\*", c)) {
            value += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
            value += escaped;
        }
    }
    return value;
}

// The user's own bus, where systemd (or the like) runs one: a socket of this user's.
std::string userBusSocket()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || *runtime != '/')
        return {};
    const std::string socket = std::string(runtime) + "/bus";
    struct stat status
    {
    };
    if (::stat(socket.c_str(), &status) != 0 || !S_ISSOCK(status.st_mode) || status.st_uid != ::getuid())
        return {};
    return socket;
}

} // namespace

std::string findSessionBus()
{
    if (const char* address = std::getenv(kAddressVariable); address && *address)
        return {};
    if (const std::string socket = userBusSocket(); !socket.empty()) {
        ::setenv(kAddressVariable, ("unix:path=" + addressValue(socket)).c_str(), 1);
        return {};
    }
    ::setenv(kAddressVariable, kNoBus, 1);
    return "No session bus (DBUS_SESSION_BUS_ADDRESS unset, no $XDG_RUNTIME_DIR/bus): the computer is not kept "
           "awake and no notices are shown";
}

std::unique_ptr<KeepAwake> createKeepAwake()
{
    return std::make_unique<DBusKeepAwake>();
}

std::unique_ptr<DesktopNotices> createNotices()
{
    return std::make_unique<DBusNotices>();
}

} // namespace korvane
