#include "node/node_files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace korvane {

namespace fs = std::filesystem;

// Size and time of a file, looked at without opening it; empty when it is missing.
std::string fileLook(const std::string& path)
{
    std::error_code error;
    const fs::path file = fs::u8path(path);
    const auto size = fs::file_size(file, error);
    if (error)
        return {};
    const auto time = fs::last_write_time(file, error);
    return std::to_string(size) + " " + std::to_string(time.time_since_epoch().count());
}

std::vector<std::string> fileLooks(const std::vector<std::string>& paths)
{
    std::vector<std::string> looks;
    for (const std::string& path : paths)
        looks.push_back(fileLook(path));
    return looks;
}

std::optional<std::uintmax_t> fileSize(const std::string& path)
{
    std::error_code error;
    const auto size = fs::file_size(fs::u8path(path), error);
    return error ? std::nullopt : std::optional(size);
}

// The bytes of a regular file from `from` to its end, at most `longest` of them (the last ones).
std::optional<std::string> readRange(const std::string& path, std::uintmax_t from, std::uintmax_t to)
{
    std::ifstream stream(fs::u8path(path), std::ios::binary);
    if (!stream)
        return std::nullopt;
    stream.seekg(static_cast<std::streamoff>(from));
    std::string bytes(to - std::min(from, to), '\0');
    stream.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(stream.gcount()));
    return bytes;
}

std::optional<std::string> readFrom(const std::string& path, std::uintmax_t from, std::uintmax_t longest)
{
    std::error_code error;
    const fs::path file = fs::u8path(path);
    if (!fs::is_regular_file(file, error))
        return std::nullopt;
    const std::uintmax_t size = fs::file_size(file, error);
    if (error)
        return std::nullopt;
    return readRange(path, std::max(from, size > longest ? size - longest : 0), size);
}

std::optional<std::int64_t> folderBytes(const std::string& folder)
{
    std::error_code error;
    std::int64_t total = 0;
    for (fs::recursive_directory_iterator entry(fs::u8path(folder), error), end; !error && entry != end;
         entry.increment(error)) {
        if (entry->is_regular_file(error))
            total += static_cast<std::int64_t>(entry->file_size(error));
    }
    return error ? std::nullopt : std::optional(total);
}

} // namespace korvane
