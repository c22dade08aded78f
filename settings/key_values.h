#pragma once

#include "settings/keys.h"

#include <string>
#include <string_view>

namespace korvane {

// Values addressed by key, as windows show them: the profile, or a window's own model.
class KeyValues
{
public:
    virtual ~KeyValues() = default;
    virtual std::string text(Key key) const = 0;
    virtual bool ticked(Key key) const = 0;
};

// Values a window edits one at a time, whose rules may change other values and grey ticks out: a
// window's own model, which its widgets follow.
class EditableKeyValues : public KeyValues
{
public:
    virtual void setText(Key key, std::string_view value) = 0;
    virtual void setTicked(Key key, bool ticked) = 0;
    virtual bool tickEnabled(Key key) const = 0;
    virtual void setTickEnabled(Key key, bool enabled) = 0;
};

} // namespace korvane
