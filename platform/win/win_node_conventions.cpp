#include "platform/node_platform.h"

namespace korvane {

const NodeConventions& nativeNodeConventions()
{
    return windowsNodeConventions();
}

} // namespace korvane
