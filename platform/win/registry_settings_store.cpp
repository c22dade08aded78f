#include "platform/win/registry_settings_store.h"

#include "platform/win/win_text.h"

#include <windows.h>

namespace korvane {
namespace {

std::wstring applicationPath(std::string_view application)
{
    return L"Software\\VB and VBA Program Settings\\" + win::toWide(application);
}

std::wstring sectionPath(std::string_view application, std::string_view section)
{
    return applicationPath(application) + L'\\' + win::toWide(section);
}

Failure failure(LSTATUS status)
{
    return { win::systemMessage(static_cast<unsigned long>(status)) };
}

} // namespace

std::string RegistrySettingsStore::getSetting(std::string_view application,
                                              std::string_view section,
                                              std::string_view key,
                                              std::string_view defaultValue) const
{
    const std::wstring path = sectionPath(application, section);
    const std::wstring name = win::toWide(key);
    // The value may change between asking its size and reading it; then ask again.
    for (;;) {
        DWORD bytes = 0;
        LSTATUS status
            = RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &bytes);
        if (status != ERROR_SUCCESS)
            return std::string(defaultValue);
        std::wstring value(bytes / sizeof(wchar_t), L'\0');
        status
            = RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, value.data(), &bytes);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS)
            return std::string(defaultValue);
        value.resize(bytes / sizeof(wchar_t));
        while (!value.empty() && value.back() == L'\0')
            value.pop_back();
        return win::toUtf8(value);
    }
}

std::vector<std::string> RegistrySettingsStore::sections(std::string_view application) const
{
    std::vector<std::string> names;
    HKEY applicationKey = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, applicationPath(application).c_str(), 0, KEY_ENUMERATE_SUB_KEYS,
                      &applicationKey)
        != ERROR_SUCCESS)
        return names;
    wchar_t name[256]; // a key name has at most 255 characters
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(std::size(name));
        const LSTATUS status = RegEnumKeyExW(applicationKey, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS)
            break; // ERROR_NO_MORE_ITEMS at the end
        names.push_back(win::toUtf8(std::wstring_view(name, length)));
    }
    RegCloseKey(applicationKey);
    return names;
}

// The registry has no transaction for a section: the values are written in order, each one
// durable on its own, and the first failure is reported.
Result<> RegistrySettingsStore::saveSettings(std::string_view application,
                                             std::string_view section,
                                             std::span<const SettingValue> values)
{
    HKEY sectionKey = nullptr;
    const LSTATUS opened = RegCreateKeyExW(HKEY_CURRENT_USER, sectionPath(application, section).c_str(), 0, nullptr,
                                           REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &sectionKey, nullptr);
    if (opened != ERROR_SUCCESS)
        return failure(opened);
    LSTATUS firstFailure = ERROR_SUCCESS;
    for (const auto& [key, value] : values) {
        const std::wstring name = win::toWide(key);
        const std::wstring text = win::toWide(value);
        const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
        const LSTATUS status
            = RegSetValueExW(sectionKey, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes);
        if (firstFailure == ERROR_SUCCESS)
            firstFailure = status;
    }
    RegCloseKey(sectionKey);
    if (firstFailure != ERROR_SUCCESS)
        return failure(firstFailure);
    return {};
}

} // namespace korvane
