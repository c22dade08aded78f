#include "tests/platform/win/win_test_support.h"

#include "platform/win/win_own_executable.h"
#include "platform/win/win_text.h"

#include <thread>

namespace korvane::test {

std::filesystem::path helperProgram()
{
    return std::filesystem::path(win::toWide(WinOwnExecutable().folder())) / L"korvane_win_test_helper.exe";
}

std::filesystem::path copyHelper(const std::filesystem::path& folder, const std::string& fileName)
{
    const auto copy = folder / win::toWide(fileName);
    std::filesystem::copy_file(helperProgram(), copy, std::filesystem::copy_options::overwrite_existing);
    return copy;
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::string quoted(const std::filesystem::path& path)
{
    return '"' + win::toUtf8(path.native()) + '"';
}

} // namespace korvane::test
