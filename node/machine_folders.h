#pragma once

#include "node/node_footprint.h"

namespace korvane {

// Where this user's nodes keep their folders and start, on this machine: HOME, %APPDATA% and the
// working folder the program's daemons start in.
NodeFolders thisMachinesFolders();

// The endpoint of the node that a profile's daemon line starts, with this machine's folders. Reads
// files: call it off the GUI thread.
NodeEndpoint readProfileEndpoint(const std::string& daemonLine, const std::string& cryptoName);

} // namespace korvane
