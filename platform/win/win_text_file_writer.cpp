#include "platform/win/win_text_file_writer.h"

#include "platform/win/win_text.h"

#include <atomic>
#include <filesystem>
#include <optional>
#include <windows.h>

namespace korvane {
namespace {

Failure lastErrorFailure(const std::string& what)
{
    return { what + ": " + win::lastErrorMessage() };
}

// The text in `codePage`, or nothing when a character has no exact counterpart there.
std::optional<std::string> encode(std::wstring_view text, UINT codePage)
{
    if (text.empty())
        return std::string();
    const int textLength = static_cast<int>(text.size());
    BOOL lossy = FALSE;
    const int length
        = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), textLength, nullptr, 0, nullptr, &lossy);
    if (lossy || length == 0)
        return std::nullopt;
    std::string encoded(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), textLength, encoded.data(), length, nullptr,
                        nullptr);
    return encoded;
}

// The first character (a surrogate pair counts as one) that `codePage` cannot hold.
std::wstring firstUnrepresentable(std::wstring_view text, UINT codePage)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t units = IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() ? 2 : 1;
        if (!encode(text.substr(i, units), codePage))
            return std::wstring(text.substr(i, units));
        i += units - 1;
    }
    return {};
}

Result<std::string> toSystemCodePage(const std::string& utf8)
{
    const UINT codePage = GetACP();
    if (codePage == CP_UTF8)
        return utf8;
    const std::wstring wide = win::toWide(utf8);
    if (auto encoded = encode(wide, codePage))
        return std::move(*encoded);
    return Failure { "The text holds \"" + win::toUtf8(firstUnrepresentable(wide, codePage))
                     + "\", which the system code page " + std::to_string(codePage)
                     + " cannot represent; the file was not written." };
}

// A new file beside the target, under a name nobody else uses.
HANDLE createTemporary(const std::filesystem::path& target, std::filesystem::path& temporary)
{
    static std::atomic<unsigned> counter { 0 };
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = target;
        temporary += L"." + std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(counter++) + L".tmp";
        const HANDLE file
            = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

bool writeAll(HANDLE file, std::string_view content)
{
    while (!content.empty()) {
        constexpr std::size_t chunk = 1 << 20;
        const auto size = static_cast<DWORD>(std::min(content.size(), chunk));
        DWORD written = 0;
        if (!WriteFile(file, content.data(), size, &written, nullptr))
            return false;
        content.remove_prefix(written);
    }
    return true;
}

// Writes, flushes and closes the temporary file.
Result<> fillTemporary(HANDLE file, std::string_view content)
{
    Result<> filled;
    if (!writeAll(file, content))
        filled = lastErrorFailure("Cannot write the new file");
    else if (!FlushFileBuffers(file))
        filled = lastErrorFailure("Cannot flush the new file to disk");
    if (!CloseHandle(file) && filled)
        filled = lastErrorFailure("Cannot close the new file");
    return filled;
}

} // namespace

Result<std::string> WinTextFileWriter::write(const std::string& path, const std::string& text, FilePermissions)
{
    const std::filesystem::path target(win::toWide(path));
    if (!target.has_filename())
        return Failure { "Cannot write " + path + ": the path names no file." };
    const auto content = toSystemCodePage(text);
    if (!content)
        return Failure { content.error() };

    std::filesystem::path temporary;
    const HANDLE file = createTemporary(target, temporary);
    if (file == INVALID_HANDLE_VALUE)
        return lastErrorFailure("Cannot create a file beside " + path);
    Result<> replaced = fillTemporary(file, content.value());
    if (replaced && !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        replaced = lastErrorFailure("Cannot replace " + path);
    if (!replaced) {
        DeleteFileW(temporary.c_str());
        return Failure { replaced.error() };
    }
    return std::string();
}

} // namespace korvane
