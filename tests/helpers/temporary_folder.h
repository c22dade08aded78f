#pragma once

#include <filesystem>
#include <string>

namespace korvane::test {

// A fresh, empty folder under the system's temporary folder, removed with its contents at the end.
class TemporaryFolder
{
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // The path as UTF-8 text, as the services take it.
    std::string text() const;
    std::string text(const std::filesystem::path& relative) const;

private:
    std::filesystem::path m_path;
};

// Creates (or replaces) a file of exactly `content`, with any missing folders.
void writeFile(const std::filesystem::path& path, const std::string& content);
// The whole content of a file; empty when it cannot be read.
std::string readFile(const std::filesystem::path& path);

} // namespace korvane::test
