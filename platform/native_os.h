#pragma once

#include "base/operating_system.h"

namespace korvane {

// The operating system this build runs on; defined once per operating system.
OperatingSystem nativeOperatingSystem();

} // namespace korvane
