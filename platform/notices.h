#pragma once

#include <string_view>

namespace korvane {

// A desktop notification: a short title and a line or two, shown by the desktop and gone by itself.
class Notices
{
public:
    virtual ~Notices() = default;
    // Never waits for the desktop; a desktop without a notification service shows nothing.
    virtual void notify(std::string_view title, std::string_view body) = 0;
};

} // namespace korvane
