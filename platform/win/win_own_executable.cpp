#include "platform/win/win_own_executable.h"

#include "platform/win/win_text.h"

#include <filesystem>
#include <windows.h>

namespace korvane {
namespace {

std::filesystem::path modulePath()
{
    // GetModuleFileNameW cuts the path to fit the buffer; grow it until the whole path fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

} // namespace

WinOwnExecutable::WinOwnExecutable()
{
    const std::filesystem::path path = modulePath();
    m_name = stripExeSuffix(win::toUtf8(path.filename().native()));
    std::wstring folder = path.parent_path().native();
    if (folder.ends_with(L'\\')) // the root of a drive, as "C:\"
        folder.pop_back();
    m_folder = win::toUtf8(folder);
}

} // namespace korvane
