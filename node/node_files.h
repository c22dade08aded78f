#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// What the node's model reads of the node's files, off the GUI thread: only regular files are
// read, and only the part asked for. Paths are UTF-8.

// Size and time of a file, looked at without opening it; empty when it is missing.
std::string fileLook(const std::string& path);
std::vector<std::string> fileLooks(const std::vector<std::string>& paths);

std::optional<std::uintmax_t> fileSize(const std::string& path);

// The bytes of a file from `from` up to `to` (fewer where it ends sooner); empty when it cannot be
// opened.
std::optional<std::string> readRange(const std::string& path, std::uintmax_t from, std::uintmax_t to);

// The bytes of a regular file from `from` to its end, at most `longest` of them (the last ones);
// empty when it is no regular file or cannot be read.
std::optional<std::string> readFrom(const std::string& path, std::uintmax_t from, std::uintmax_t longest);

// The size of a folder and everything in it; empty when it cannot be read.
std::optional<std::int64_t> folderBytes(const std::string& folder);

} // namespace korvane
