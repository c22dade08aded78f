#include "platform/node_platform.h"

namespace korvane {

const NodeConventions& nativeNodeConventions()
{
    return linuxNodeConventions();
}

} // namespace korvane
