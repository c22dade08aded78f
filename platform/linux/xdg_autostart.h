#pragma once

#include "platform/autostart.h"

#include <string>
#include <string_view>

namespace korvane {

// An XDG autostart entry, "$XDG_CONFIG_HOME/autostart/<name>.desktop" ("~/.config" when the
// variable is unset), whose Exec line starts the program file this copy was started as.
class XdgAutostart : public Autostart
{
public:
    XdgAutostart(std::string name, std::string programPath);

    bool enabled() const override;
    Result<> enable() override;
    Result<> disable() override;

    const std::string& entryPath() const { return m_entryPath; }

private:
    bool entryStartsThisCopy() const;

    std::string m_name;
    std::string m_programPath;
    std::string m_entryPath;
};

// The folder of the user's autostart entries, from XDG_CONFIG_HOME or HOME.
std::string autostartFolder();

// A desktop entry's Exec value that starts `programPath` with no arguments: the path quoted, with
// the characters the entry's quoting rules reserve escaped, and handed to env where it holds '%'.
std::string desktopExecValue(std::string_view programPath);

// The whole entry: its name, this product's icon, and the program it starts.
std::string autostartEntryText(std::string_view name, std::string_view programPath);

} // namespace korvane
