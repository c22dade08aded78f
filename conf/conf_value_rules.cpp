#include "conf/conf_value_rules.h"

#include "conf/conf_model.h"

#include <algorithm>

namespace korvane {

bool isOneLineConfField(Key key)
{
    const auto keys = confGeneratorKeys();
    return std::find(keys.begin(), keys.end(), key) != keys.end() && keyInfo(key).kind == KeyKind::Text
        && key != Key::FullNodeList && key != Key::UserDefinedSettings;
}

std::string refusedOneLineCharacter(std::string_view value)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto found = std::find_if(value.begin(), value.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
    if (found == value.end())
        return {};
    switch (const auto byte = static_cast<unsigned char>(*found)) {
    case '\n':
        return "a line break (LF)";
    case '\r':
        return "a carriage return (CR)";
    case '\0':
        return "a NUL character";
    case '\t':
        return "a tab";
    default:
        return std::string("control character 0x") + kHex[byte >> 4] + kHex[byte & 0xF];
    }
}

std::string oneLineRefusalMessage(std::string_view fieldCaption, std::string_view character)
{
    return std::string(fieldCaption) + ": a value holding " + std::string(character)
        + " was refused, as this field gives exactly one line of the .conf file; it keeps its value.";
}

std::string withConfLineBreaks(std::string_view stored)
{
    std::string lines;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == '\r' || stored[i] == '\n') {
            lines += kConfLineBreak;
            if (stored[i] == '\r' && i + 1 < stored.size() && stored[i + 1] == '\n')
                ++i;
        } else {
            lines += stored[i];
        }
    }
    return lines;
}

} // namespace korvane
