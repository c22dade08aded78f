#include "tests/processes/helper_programs.h"

#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

extern char** environ;

namespace korvane::test {
namespace fs = std::filesystem;

std::string uniqueName(std::string_view stem, std::size_t length)
{
    std::string name = std::string(stem) + std::to_string(::getpid());
    if (name.size() < length)
        name.append(length - name.size(), 'z');
    return name;
}

HelperPrograms::HelperPrograms()
{
    std::string pattern = (fs::temp_directory_path() / "korvane-helpers-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::system_error(errno, std::generic_category(), "mkdtemp");
    m_folder = pattern;
}

HelperPrograms::~HelperPrograms()
{
    std::error_code ignored;
    fs::remove_all(m_folder, ignored);
}

fs::path HelperPrograms::program(std::string_view fileName)
{
    const fs::path copy = m_folder / fileName;
    fs::copy_file(KORVANE_TEST_SLEEPER, copy);
    fs::permissions(copy, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    return copy;
}

fs::path HelperPrograms::link(std::string_view fileName, const fs::path& target)
{
    const fs::path path = m_folder / fileName;
    fs::create_symlink(target, path);
    return path;
}

fs::path HelperPrograms::script(std::string_view fileName, const fs::path& interpreter)
{
    const fs::path path = m_folder / fileName;
    std::ofstream(path) << "#!" << interpreter.string() << "\n";
    fs::permissions(path, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    return path;
}

namespace {

// Pointers to `texts` and a null pointer after them, as exec takes them.
std::vector<char*> nullEnded(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (auto& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

ChildProcess::ChildProcess(const fs::path& program,
                           const std::vector<std::string>& arguments,
                           const std::vector<std::string>& environment,
                           const std::string& firstWord)
{
    std::string path = program.string();
    std::vector<std::string> words { firstWord.empty() ? path : firstWord };
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<std::string> variables(environment);
    for (char** variable = environ; *variable; ++variable)
        variables.emplace_back(*variable);
    const auto argv = nullEnded(words);
    const auto envp = nullEnded(variables);
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0)
        throw std::system_error(errno, std::generic_category(), "pipe2");
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, ready[1], 3);
    const int error = ::posix_spawn(&m_pid, path.c_str(), &actions, nullptr, argv.data(), envp.data());
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(ready[1]);
    // The kernel gives the child its new names some time after the spawn returns: wait until the
    // program itself says it runs.
    char byte = 0;
    if (error == 0)
        while (::read(ready[0], &byte, 1) < 0 && errno == EINTR) { }
    ::close(ready[0]);
    if (error != 0)
        throw std::system_error(error, std::generic_category(), "posix_spawn " + path);
}

ChildProcess::~ChildProcess()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
}

void ChildProcess::killToZombie()
{
    ::kill(m_pid, SIGKILL);
    siginfo_t info {};
    ::waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOWAIT);
}

bool ChildProcess::reapKilled()
{
    int status = 0;
    if (::waitpid(m_pid, &status, 0) != m_pid)
        return false;
    m_pid = -1;
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

bool ChildProcess::alive() const
{
    siginfo_t info {};
    return ::waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0;
}

} // namespace korvane::test
