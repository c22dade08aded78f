#include "platform/win/run_key_autostart.h"

#include "platform/win/win_text.h"

#include <optional>
#include <windows.h>

namespace korvane {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::optional<std::wstring> runValue(const std::wstring& name)
{
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &bytes)
        != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring value(bytes / sizeof(wchar_t), L'\0');
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, name.c_str(), RRF_RT_REG_SZ, nullptr, value.data(), &bytes)
        != ERROR_SUCCESS)
        return std::nullopt;
    value.resize(bytes / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0')
        value.pop_back();
    return value;
}

bool sameCommand(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE)
        == CSTR_EQUAL;
}

Failure startsAnother(const std::wstring& name)
{
    return { "the Run key's value " + win::toUtf8(name) + " starts another program; it was left as it is" };
}

Result<> done(LSTATUS status)
{
    if (status == ERROR_SUCCESS)
        return {};
    return Failure { win::systemMessage(static_cast<unsigned long>(status)) };
}

} // namespace

std::string runningProgramPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return win::toUtf8(path);
        }
        path.resize(path.size() * 2);
    }
}

RunKeyAutostart::RunKeyAutostart(std::string name, std::string programPath)
    : m_name(win::toWide(name))
    , m_command(L'"' + win::toWide(programPath) + L'"')
{
}

bool RunKeyAutostart::enabled() const
{
    const auto value = runValue(m_name);
    return value && sameCommand(*value, m_command);
}

Result<> RunKeyAutostart::enable()
{
    if (const auto value = runValue(m_name); value && !sameCommand(*value, m_command))
        return startsAnother(m_name);
    const auto bytes = static_cast<DWORD>((m_command.size() + 1) * sizeof(wchar_t));
    return done(RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, m_name.c_str(), REG_SZ, m_command.c_str(), bytes));
}

Result<> RunKeyAutostart::disable()
{
    const auto value = runValue(m_name);
    if (!value)
        return {};
    if (!sameCommand(*value, m_command))
        return startsAnother(m_name);
    return done(RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, m_name.c_str()));
}

} // namespace korvane
