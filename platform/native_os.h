#pragma once

namespace korvane {

enum class OperatingSystem
{
    Linux,
    Windows,
};

// The operating system this build runs on; defined once per operating system.
OperatingSystem nativeOperatingSystem();

} // namespace korvane
