#pragma once

namespace korvane {

enum class OperatingSystem
{
    Linux,
    Windows,
};

} // namespace korvane
