#pragma once

#include "platform/autostart.h"
#include "platform/keep_awake.h"
#include "platform/notices.h"
#include "platform/system_tray.h"

#include <string>
#include <vector>

namespace korvane::fake {

// Grants every hold at once, or refuses it with `refusal`.
class KeepAwake : public korvane::KeepAwake
{
public:
    void hold(std::string_view reason, Failed failed, Told /*told*/) override
    {
        if (!refusal.empty()) {
            failed(refusal);
            return;
        }
        if (!m_held)
            holds.emplace_back(reason);
        m_held = true;
    }
    void release() override
    {
        if (m_held)
            ++releases;
        m_held = false;
    }
    bool held() const override { return m_held; }

    std::vector<std::string> holds; // the reason of each hold granted
    int releases = 0;
    std::string refusal;

private:
    bool m_held = false;
};

class Notices : public korvane::Notices
{
public:
    void notify(std::string_view title, std::string_view body) override
    {
        shown.push_back(std::string(title) + "|" + std::string(body));
    }
    std::vector<std::string> shown; // "title|body"
};

class Autostart : public korvane::Autostart
{
public:
    bool enabled() const override { return on; }
    Result<> enable() override { return change(true); }
    Result<> disable() override { return change(false); }

    bool on = false;
    std::string failure;

private:
    Result<> change(bool wanted)
    {
        if (!failure.empty())
            return Failure { failure };
        on = wanted;
        return {};
    }
};

// A desktop without a tray unless told otherwise.
class SystemTray : public korvane::SystemTray
{
public:
    bool available() const override { return present; }
    bool present = false;
};

} // namespace korvane::fake
