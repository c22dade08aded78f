#pragma once

#include <string>
#include <vector>

namespace korvane {

// Where a node answers RPC and with which credentials, as the node itself would read them.
struct RpcEndpoint
{
    int port = 0;
    std::string credentials; // "user:password", sent as HTTP basic authentication
    std::string source; // where the port and credentials were read from, for messages
    std::vector<std::string> watchedFiles; // the conf and cookie files: a change means read again
    std::string problem; // why no endpoint could be read; empty when it could

    bool usable() const { return problem.empty() && port > 0; }
};

// The endpoint of the node that the profile's daemon command line starts; `blockchainHome` is the
// profile's data folder, used when the line names none.
RpcEndpoint rpcEndpointFor(const std::string& daemonCommand, const std::string& blockchainHome);

} // namespace korvane
