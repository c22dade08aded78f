#include "platform/win/win_launcher.h"

#include "base/command_line_split.h"
#include "platform/win/win_handle.h"
#include "platform/win/win_text.h"

#include <array>
#include <string>
#include <vector>
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

// The standard streams of a program that writes its errors to a file: NUL for its input and
// output, the file (created or emptied) for its standard error. Both handles are inheritable, and
// the attribute list limits what the program inherits to them.
class ErrorFileStreams
{
public:
    ErrorFileStreams() = default;
    ErrorFileStreams(const ErrorFileStreams&) = delete;
    ErrorFileStreams& operator=(const ErrorFileStreams&) = delete;
    ~ErrorFileStreams()
    {
        if (m_listMade)
            DeleteProcThreadAttributeList(attributeList());
    }

    // Why the streams cannot be given; empty once they can.
    std::string open(const std::string& path)
    {
        SECURITY_ATTRIBUTES inherited { sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE };
        m_file.reset(CreateFileW(win::toWide(path).c_str(), GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherited, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!m_file.valid())
            return "its error output cannot go to \"" + path + "\": " + win::lastErrorMessage();
        m_null.reset(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                 OPEN_EXISTING, 0, nullptr));
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        m_attributes.resize(size);
        m_listMade = m_null.valid() && InitializeProcThreadAttributeList(attributeList(), 1, 0, &size);
        m_inherited = { m_null.get(), m_file.get() };
        if (!m_listMade
            || !UpdateProcThreadAttribute(attributeList(), 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, m_inherited.data(),
                                          sizeof m_inherited, nullptr, nullptr))
            return win::lastErrorMessage();
        return {};
    }

    void giveTo(STARTUPINFOEXW& startup)
    {
        startup.StartupInfo.cb = sizeof(startup);
        startup.StartupInfo.dwFlags |= STARTF_USESTDHANDLES;
        startup.StartupInfo.hStdInput = m_null.get();
        startup.StartupInfo.hStdOutput = m_null.get();
        startup.StartupInfo.hStdError = m_file.get();
        startup.lpAttributeList = attributeList();
    }

private:
    LPPROC_THREAD_ATTRIBUTE_LIST attributeList()
    {
        return reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(m_attributes.data());
    }

    win::Handle m_file;
    win::Handle m_null;
    std::array<HANDLE, 2> m_inherited {};
    std::vector<char> m_attributes; // the attribute list, of the size the system asked for
    bool m_listMade = false;
};

} // namespace

LaunchResult WinLauncher::start(std::string_view commandLine, const LaunchOptions& options)
{
    if (isBlank(commandLine))
        return notStarted({}, "The command line is empty.");
    if (commandLine.find('\0') != std::string_view::npos)
        return notStarted({}, kCommandLineHoldsNul);
    std::string program = programOf(commandLine);
    // CreateProcessW may write into the command line it is given.
    std::wstring writableCommandLine = win::toWide(commandLine);
    if (writableCommandLine.size() >= kMaxCommandLineCharacters)
        return notStarted(program,
                          "The command line has " + std::to_string(writableCommandLine.size())
                              + " characters; Windows starts a program with at most "
                              + std::to_string(kMaxCommandLineCharacters - 1) + ".");

    STARTUPINFOEXW startup {};
    startup.StartupInfo.cb = sizeof(startup.StartupInfo);
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW;
    const bool hidden = options.style == WindowStyle::Hidden;
    startup.StartupInfo.wShowWindow = hidden ? SW_HIDE : SW_SHOWNORMAL;
    DWORD creationFlags = hidden ? CREATE_NO_WINDOW : 0;
    ErrorFileStreams errorFileStreams;
    const bool withErrorFile = !options.errorOutputFile.empty();
    if (withErrorFile) {
        if (std::string problem = errorFileStreams.open(options.errorOutputFile); !problem.empty())
            return notStarted(program, problem);
        errorFileStreams.giveTo(startup);
        creationFlags |= EXTENDED_STARTUPINFO_PRESENT;
    }
    PROCESS_INFORMATION process {};
    if (!CreateProcessW(nullptr, writableCommandLine.data(), nullptr, nullptr, withErrorFile, creationFlags, nullptr,
                        nullptr, &startup.StartupInfo, &process))
        return notStarted(program, win::lastErrorMessage());
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return Launched { std::move(program), process.dwProcessId };
}

} // namespace korvane
