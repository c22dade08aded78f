#include "node/machine_folders.h"

#include "platform/native_os.h"

#include <QDir>

namespace korvane {

NodeFolders thisMachinesFolders()
{
    return { nativeOperatingSystem(), qEnvironmentVariable("HOME").toStdString(),
             qEnvironmentVariable("APPDATA").toStdString(), QDir::currentPath().toStdString() };
}

} // namespace korvane
