#include "platform/win/win_port_listeners.h"

#include "platform/win/toolhelp_process_table.h"
#include "platform/win/win_text.h"

#include <map>
// Winsock comes before windows.h, and the IP Helper after both.
#include <iphlpapi.h>
#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

namespace korvane {
namespace {

// Reads the listening sockets of one address family with their owning processes into `table`, as
// the system's table of `Table` rows; returns the system's answer.
template <typename Table> DWORD readListenerTable(ULONG family, std::vector<char>& table)
{
    table.resize(sizeof(Table));
    DWORD answer = ERROR_INSUFFICIENT_BUFFER;
    // The table may grow between asking its size and reading it.
    for (int tries = 0; answer == ERROR_INSUFFICIENT_BUFFER && tries < 4; ++tries) {
        auto size = static_cast<DWORD>(table.size());
        answer = GetExtendedTcpTable(table.data(), &size, FALSE, family, TCP_TABLE_OWNER_PID_LISTENER, 0);
        table.resize(size);
    }
    return answer;
}

std::string addressText(int family, const void* address)
{
    wchar_t text[INET6_ADDRSTRLEN] = {};
    return InetNtopW(family, address, text, INET6_ADDRSTRLEN) ? win::toUtf8(text) : std::string();
}

// The listeners on `port` in the system's table `Table`, each with its address as `address` reads
// it from its row. A system without IPv6 has no IPv6 listeners.
template <typename Table, typename Address>
Result<std::vector<PortListener>> listenersIn(ULONG family, std::uint16_t port, Address address)
{
    std::vector<char> table;
    const DWORD answer = readListenerTable<Table>(family, table);
    if (answer == ERROR_NOT_SUPPORTED && family == AF_INET6)
        return std::vector<PortListener>();
    if (answer != NO_ERROR)
        return Failure { "The listening TCP sockets could not be read: " + win::systemMessage(answer) };
    const auto* rows = reinterpret_cast<const Table*>(table.data());
    std::vector<PortListener> listeners;
    for (DWORD i = 0; i < rows->dwNumEntries; ++i) {
        const auto& row = (&rows->table[0])[i];
        if (ntohs(static_cast<u_short>(row.dwLocalPort)) != port)
            continue;
        PortListener& listener = listeners.emplace_back();
        listener.address = addressText(static_cast<int>(family), address(row));
        if (row.dwOwningPid != 0) // the idle process owns no socket: the system did not tell
            listener.processId = row.dwOwningPid;
    }
    return listeners;
}

// Names each listener's process by its executable's file name; one that has ended keeps no name.
void nameProcesses(std::vector<PortListener>& listeners)
{
    const auto processes = takeProcessSnapshot();
    if (!processes)
        return;
    std::map<ProcessId, std::string> names;
    for (const auto& process : *processes)
        names.emplace(process.id, win::toUtf8(process.name));
    for (auto& listener : listeners) {
        const auto found = listener.processId ? names.find(*listener.processId) : names.end();
        if (found != names.end())
            listener.programName = found->second;
    }
}

} // namespace

Result<std::vector<PortListener>> WinPortListeners::listenersOn(std::uint16_t port)
{
    auto listeners = listenersIn<MIB_TCPTABLE_OWNER_PID>(AF_INET, port, [](const MIB_TCPROW_OWNER_PID& row) {
        return &row.dwLocalAddr; // in network order, as an in_addr holds it
    });
    auto ipv6 = listenersIn<MIB_TCP6TABLE_OWNER_PID>(
        AF_INET6, port, [](const MIB_TCP6ROW_OWNER_PID& row) { return &row.ucLocalAddr[0]; });
    if (!listeners || !ipv6)
        return Failure { listeners ? ipv6.error() : listeners.error() };
    std::vector<PortListener> all = std::move(listeners).value();
    all.insert(all.end(), ipv6.value().begin(), ipv6.value().end());
    nameProcesses(all);
    return all;
}

} // namespace korvane
