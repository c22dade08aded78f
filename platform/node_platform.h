#pragma once

#include "launch/node_conventions.h"

namespace korvane {

// The node-program conventions of the operating system the program runs on.
const NodeConventions& nativeNodeConventions();

} // namespace korvane
