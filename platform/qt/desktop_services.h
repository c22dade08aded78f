#pragma once

#include "platform/keep_awake.h"
#include "platform/notices.h"

#include <memory>

namespace korvane {

// The desktop's services that this operating system offers through the GUI toolkit: on Linux the
// session bus, on Windows the system's own calls.
std::unique_ptr<KeepAwake> createKeepAwake();
std::unique_ptr<Notices> createNotices();

} // namespace korvane
