// A small program that the tests start under chosen file names. Its first argument says what to do:
//   record <file>          write the command line it received and its window style into <file>
//   own-executable <file>  write the name and folder of its own executable into <file>
//   wait <file>            create <file> once running, then wait to be ended (at most a minute)
//   print <text>...        write each text on a line of its standard output, the variable
//                          KORVANE_RUN to its standard error, and exit with code 3
#include "platform/win/win_own_executable.h"
#include "platform/win/win_text.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <windows.h>
// Needs the types of windows.h.
#include <shellapi.h>

namespace {

std::vector<std::wstring> arguments()
{
    int count = 0;
    wchar_t** list = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> result(list, list + count);
    LocalFree(list);
    return result;
}

// Writes beside the file first, so a reader never sees it half written.
void writeFile(const std::wstring& path, const std::string& content)
{
    const std::wstring partial = path + L".partial";
    {
        std::ofstream out(std::filesystem::path(partial), std::ios::binary);
        out << content;
    }
    MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

std::string startupWindowStyle()
{
    STARTUPINFOW startup {};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    if (!(startup.dwFlags & STARTF_USESHOWWINDOW))
        return "default";
    return std::to_string(startup.wShowWindow);
}

} // namespace

int main()
{
    const auto args = arguments();
    if (args.size() < 3)
        return 2;
    const std::wstring& command = args[1];
    const std::wstring& file = args[2];
    if (command == L"record") {
        writeFile(file, korvane::win::toUtf8(GetCommandLineW()) + '\n' + startupWindowStyle());
    } else if (command == L"own-executable") {
        const korvane::WinOwnExecutable own;
        writeFile(file, own.name() + '\n' + own.folder());
    } else if (command == L"print") {
        for (std::size_t i = 2; i < args.size(); ++i)
            std::printf("%s\n", korvane::win::toUtf8(args[i]).c_str());
        const wchar_t* variable = _wgetenv(L"KORVANE_RUN");
        std::fprintf(stderr, "%s", variable ? korvane::win::toUtf8(variable).c_str() : "<unset>");
        return 3;
    } else if (command == L"wait") {
        writeFile(file, "running");
        Sleep(60 * 1000);
    } else {
        return 2;
    }
    return 0;
}
