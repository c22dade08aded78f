#pragma once

#include "conf/conf_check.h"
#include "node/node_footprint.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// This copy's node as the check reads it.
struct ThisCopy
{
    std::string daemonCommandLine;
    std::string cryptoName;
    std::optional<std::string> confText; // the conf's text where given; else the file the line names is read
};

// A daemon program's default database cache in MiB, or nothing where it is not known.
using CacheDefault = std::function<std::optional<std::uint64_t>(const std::string& daemonProgram)>;

// The other copies and what their nodes share with this one on this machine.
struct Workstation
{
    std::vector<CopyProfile> others;
    NodeFolders folders;
    // The physical memory and the daemons' default caches, for the memory check; it is left out
    // without either.
    std::optional<std::uint64_t> memoryBytes = std::nullopt;
    CacheDefault cacheDefault = nullptr;
};

struct CopiesCheck
{
    std::vector<ConfFinding> findings; // the clashes with each other copy's node, then the memory's
    std::vector<std::string> others; // a line on each other copy's node
};

// Reads the nodes of this copy and the others and finds where they clash, as errors where the node
// started second would stop and as warnings otherwise (the memory check among them). Only reads
// files; runs daemons only through `cacheDefault`. Never on the GUI thread.
CopiesCheck checkAcrossCopies(const ThisCopy& copy, const Workstation& workstation);

// The database cache a daemon's help names as its default, in MiB.
std::optional<std::uint64_t> defaultCacheMiB(const DaemonOptions& daemon);

} // namespace korvane
