#include "settings/node_conventions.h"

namespace korvane {

const NodeConventions& windowsNodeConventions()
{
    static constexpr NodeConventions conventions {
        .pathSeparator = "\\",
        .fileNameSeparators = "\\/",
        .programPathQuotedAsItStands = true,
        .useQtFolder = "C:\\Program Files\\Bitcoin",
        .useQtFile = "bitcoin-qt.exe",
        .useDaemonCliFolder = "C:\\Program Files\\Bitcoin\\Daemon",
        .useCliFile = "bitcoin-cli.exe",
        .useDaemonFile = "bitcoind.exe",
        .qtFolderLabel = "QT - Folder - eg C:\\Program Files\\Bitcoin",
        .qtFileLabel = "QT.exe - File - eg bitcoin-qt.exe",
        .daemonCliFolderLabel = "DAEMOND.exe && DAEMON-CLI.exe - Folder - eg C:\\Program Files\\Bitcoin\\Daemon",
        .cliFileLabel = "DAEMON-CLI.exe - File - eg bitcoin-cli.exe",
        .daemonFileLabel = "DAEMOND.exe - File - eg bitcoind.exe",
        .qtFileTitle = "Select QT.exe File",
        .cliFileTitle = "Select DAEMON-CLI.exe File",
        .daemonFileTitle = "Select DAEMOND.exe File",
        .programFilter = "Applications (*.exe)|*.exe|All files (*.*)|*.*",
        .programExtension = "exe",
        .multipleConfigurationsHint
        = "FOR MULTIPLE CONFIGURATIONS, COPY \".exe\" FILE TO A NEW FILENAME, RUN, AND CONFIGURE.",
    };
    return conventions;
}

const NodeConventions& nodeConventionsFor(OperatingSystem system)
{
    return system == OperatingSystem::Windows ? windowsNodeConventions() : linuxNodeConventions();
}

const NodeConventions& linuxNodeConventions()
{
    // Linux programs have no extension, so the pickers list every file.
    static constexpr NodeConventions conventions {
        .pathSeparator = "/",
        .fileNameSeparators = "/",
        .programPathQuotedAsItStands = false,
        .useQtFolder = "/usr/local/bin",
        .useQtFile = "bitcoin-qt",
        .useDaemonCliFolder = "/usr/local/bin",
        .useCliFile = "bitcoin-cli",
        .useDaemonFile = "bitcoind",
        .qtFolderLabel = "QT - Folder - eg /usr/local/bin",
        .qtFileLabel = "QT - File - eg bitcoin-qt",
        .daemonCliFolderLabel = "DAEMOND && DAEMON-CLI - Folder - eg /usr/local/bin",
        .cliFileLabel = "DAEMON-CLI - File - eg bitcoin-cli",
        .daemonFileLabel = "DAEMOND - File - eg bitcoind",
        .qtFileTitle = "Select QT File",
        .cliFileTitle = "Select DAEMON-CLI File",
        .daemonFileTitle = "Select DAEMOND File",
        .programFilter = "All files (*)|*",
        .programExtension = "",
        .multipleConfigurationsHint
        = "FOR MULTIPLE CONFIGURATIONS, COPY THE PROGRAM FILE TO A NEW FILENAME, RUN, AND CONFIGURE.",
    };
    return conventions;
}

std::string
defaultConfLocation(const NodeConventions& conventions, std::string_view programFolder, std::string_view programName)
{
    std::string location(programFolder);
    location += conventions.pathSeparator;
    location += programName;
    location += "-CRYPTO-CONFIG.conf";
    return location;
}

std::string fileNameOf(const NodeConventions& conventions, std::string_view path)
{
    const auto separator = path.find_last_of(conventions.fileNameSeparators);
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

} // namespace korvane
