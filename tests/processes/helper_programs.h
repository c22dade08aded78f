#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace korvane::test {

// A name no other test process uses at the same time: `stem`, this process's id, then `fill`
// characters up to `length` when one is given.
std::string uniqueName(std::string_view stem, std::size_t length = 0);

// A temporary folder of sleeping programs under chosen file names; removed with its contents.
class HelperPrograms
{
public:
    HelperPrograms();
    ~HelperPrograms();
    HelperPrograms(const HelperPrograms&) = delete;
    HelperPrograms& operator=(const HelperPrograms&) = delete;

    // A copy of the sleeping program named `fileName`.
    std::filesystem::path program(std::string_view fileName);
    // A symbolic link named `fileName` to `target`.
    std::filesystem::path link(std::string_view fileName, const std::filesystem::path& target);
    // A shebang script named `fileName` run by the program `interpreter`.
    std::filesystem::path script(std::string_view fileName, const std::filesystem::path& interpreter);

private:
    std::filesystem::path m_folder;
};

// A child process running `program` (started under that path as its first word, or under
// `firstWord` as "exec -a" does, followed by `arguments`, with `environment`'s "NAME=value"
// entries added to this process's); killed and reaped when it goes.
class ChildProcess
{
public:
    explicit ChildProcess(const std::filesystem::path& program,
                          const std::vector<std::string>& arguments = {},
                          const std::vector<std::string>& environment = {},
                          const std::string& firstWord = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return m_pid; }
    // Kills the child and waits until it is a zombie, which stays until reap().
    void killToZombie();
    // Waits for the child to end and tells whether a SIGKILL ended it.
    bool reapKilled();
    // True while the child has not ended.
    bool alive() const;

private:
    pid_t m_pid = -1;
};

} // namespace korvane::test
