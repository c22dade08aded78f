#include "platform/win/win_launcher.h"

#include "base/command_line_split.h"
#include "platform/win/win_text.h"

#include <string>
#include <windows.h>

namespace korvane {
namespace {

// The program as the command line names it, for messages: its first word, without quotes. A line
// with an unpaired quote is still handed to the system, which reads the rest as the program.
std::string programOf(std::string_view commandLine)
{
    const SplitCommandLine split = splitCommandLine(commandLine);
    return split ? split.value().front() : std::string(commandLine);
}

bool isBlank(std::string_view commandLine)
{
    return commandLine.find_first_not_of(" \t") == std::string_view::npos;
}

// CreateProcessW takes at most 32,767 UTF-16 characters, its terminating NUL included.
constexpr std::size_t kMaxCommandLineCharacters = 32767;

} // namespace

LaunchResult WinLauncher::start(std::string_view commandLine, WindowStyle style)
{
    if (isBlank(commandLine))
        return notStarted({}, "The command line is empty.");
    if (commandLine.find('\0') != std::string_view::npos)
        return notStarted({}, kCommandLineHoldsNul);
    std::string program = programOf(commandLine);

    STARTUPINFOW startup {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    const bool hidden = style == WindowStyle::Hidden;
    startup.wShowWindow = hidden ? SW_HIDE : SW_SHOWNORMAL;
    const DWORD creationFlags = hidden ? CREATE_NO_WINDOW : 0;

    // CreateProcessW may write into the command line it is given.
    std::wstring writableCommandLine = win::toWide(commandLine);
    if (writableCommandLine.size() >= kMaxCommandLineCharacters)
        return notStarted(program,
                          "The command line has " + std::to_string(writableCommandLine.size())
                              + " characters; Windows starts a program with at most "
                              + std::to_string(kMaxCommandLineCharacters - 1) + ".");
    PROCESS_INFORMATION process {};
    if (!CreateProcessW(nullptr, writableCommandLine.data(), nullptr, nullptr, FALSE, creationFlags, nullptr, nullptr,
                        &startup, &process))
        return notStarted(program, win::lastErrorMessage());
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return program;
}

} // namespace korvane
