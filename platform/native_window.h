#pragma once

#include <cstdint>

namespace korvane {

// An operating-system window handle (an HWND on Windows, an X11 window id on Linux),
// passed as an integer so that services need no GUI toolkit.
using NativeWindow = std::uintptr_t;

} // namespace korvane
