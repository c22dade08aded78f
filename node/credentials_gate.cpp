#include "node/credentials_gate.h"

#include "base/ascii_case.h"
#include "platform/own_executable.h"

namespace korvane {
namespace {

// Whether a connection to `host` can land on a socket listening on `address`. A listener on "::"
// takes IPv4 connections too, where the system lets it.
bool reaches(const std::string& host, const std::string& address)
{
    if (host == address)
        return true;
    const bool ipv6 = host.find(':') != std::string::npos;
    return ipv6 ? address == "::" : address == "0.0.0.0" || address == "::";
}

bool sameProgram(const std::string& listener, const std::string& daemon)
{
    return equalsIgnoringAsciiCase(stripExeSuffix(listener), stripExeSuffix(daemon));
}

} // namespace

GateVerdict credentialsGate(const std::vector<PortListener>& listeners,
                            const std::string& host,
                            std::uint16_t port,
                            const ExpectedServer& expected)
{
    const std::string portText = "port " + std::to_string(port);
    GateVerdict verdict;
    verdict.nobodyListens = true;
    for (const PortListener& listener : listeners) {
        if (!reaches(host, listener.address))
            continue;
        verdict.nobodyListens = false;
        if (listener.userId && expected.userId && *listener.userId != *expected.userId) {
            verdict.why = portText + " is served by another user's program; credentials withheld";
            return verdict;
        }
        if (!listener.programName.empty() && !expected.daemonName.empty()
            && !sameProgram(listener.programName, expected.daemonName)) {
            verdict.why
                = portText + " is served by another program (" + listener.programName + "); credentials withheld";
            return verdict;
        }
    }
    if (verdict.nobodyListens)
        verdict.why = "nothing listens on " + portText + " yet";
    verdict.allowed = !verdict.nobodyListens;
    return verdict;
}

} // namespace korvane
