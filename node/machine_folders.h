#pragma once

#include "node/node_footprint.h"

namespace korvane {

// Where this user's nodes keep their folders and start, on this machine: HOME, %APPDATA% and the
// working folder the program's daemons start in.
NodeFolders thisMachinesFolders();

} // namespace korvane
