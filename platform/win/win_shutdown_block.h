#pragma once

#include "platform/native_window.h"

#include <optional>
#include <string>
#include <string_view>

namespace korvane {

// What Windows shows beside the program while it holds off the end of the session.
inline constexpr std::string_view kShutdownBlockReason = "The node is stopping; Windows will continue when it has";

// ShutdownBlockReasonCreate on one of the program's windows: Windows waits, showing `reason`,
// until the block is destroyed or the user chooses to shut down anyway. False when refused.
bool blockShutdown(NativeWindow window, std::string_view reason);
// ShutdownBlockReasonDestroy: Windows may end the session again.
bool unblockShutdown(NativeWindow window);
// The reason a window blocks with (ShutdownBlockReasonQuery); none when it does not block.
std::optional<std::string> shutdownBlockReason(NativeWindow window);

} // namespace korvane
