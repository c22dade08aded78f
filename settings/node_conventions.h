#pragma once

#include "platform/native_os.h"

#include <string>
#include <string_view>

namespace korvane {

// How the node programs are laid out and named on one operating system: the separator that joins
// a folder and a file name, the suggested install locations, and every text that shows a path or a
// program file name. Windows and Linux each have one table; the platform picks the native one.
struct NodeConventions
{
    std::string_view pathSeparator;
    // Characters after which a picked path's file name starts.
    std::string_view fileNameSeparators;
    // Windows finds the program of a command line by reading from its opening quote to the next one,
    // without escapes, so the program's path goes between the quotes as it stands. Elsewhere the
    // program is split off like every other argument and escaped like them.
    bool programPathQuotedAsItStands;

    // Values that the "Use" buttons write.
    std::string_view useQtFolder;
    std::string_view useQtFile;
    std::string_view useDaemonCliFolder;
    std::string_view useCliFile;
    std::string_view useDaemonFile;

    // Labels beside the program fields; a doubled ampersand shows as one.
    std::string_view qtFolderLabel;
    std::string_view qtFileLabel;
    std::string_view daemonCliFolderLabel;
    std::string_view cliFileLabel;
    std::string_view daemonFileLabel;

    // Titles of the three program pickers and what they list.
    std::string_view qtFileTitle;
    std::string_view cliFileTitle;
    std::string_view daemonFileTitle;
    std::string_view programFilter; // entries "Description|pattern" joined by "|"
    std::string_view programExtension;

    // How to keep one profile per coin: copy the program under another name.
    std::string_view multipleConfigurationsHint;
};

const NodeConventions& windowsNodeConventions();
const NodeConventions& linuxNodeConventions();
const NodeConventions& nodeConventionsFor(OperatingSystem system);

// Where the generated ".conf" file of this copy lives: the program's folder, a separator, the
// program's name and "-CRYPTO-CONFIG.conf".
std::string
defaultConfLocation(const NodeConventions& conventions, std::string_view programFolder, std::string_view programName);

// The file name at the end of a picked path: "C:\Apps\node\bitcoind.exe" -> "bitcoind.exe".
std::string fileNameOf(const NodeConventions& conventions, std::string_view path);

} // namespace korvane
