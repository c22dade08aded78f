#include "node/machine_folders.h"

#include "platform/native_os.h"

#include <QDir>

namespace korvane {

NodeFolders thisMachinesFolders()
{
    return { nativeOperatingSystem(), qEnvironmentVariable("HOME").toStdString(),
             qEnvironmentVariable("APPDATA").toStdString(), QDir::currentPath().toStdString() };
}

NodeEndpoint readProfileEndpoint(const std::string& daemonLine, const std::string& cryptoName)
{
    return readNodeEndpoint(nodeSource(thisMachinesFolders(), daemonLine, cryptoName));
}

} // namespace korvane
