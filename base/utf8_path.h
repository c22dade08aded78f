#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace korvane {

// Paths travel as UTF-8 text; these convert them for the file system, the same on every system.
inline std::filesystem::path pathFromUtf8(std::string_view text)
{
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string utf8Text(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace korvane
