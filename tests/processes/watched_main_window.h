#pragma once

#include "app/main_window.h"
#include "gui/light.h"
#include "platform/fake/fake_services.h"
#include "processes/terminator_window.h"
#include "tests/gui/driver.h"

#include <QString>
#include <memory>
#include <string>

namespace korvane::test {

// A shown main window whose services are fakes, but for the process table it is given.
class WatchedMainWindow
{
public:
    explicit WatchedMainWindow(ProcessTable& table);
    ~WatchedMainWindow();

    MainWindow& window() { return *m_window; }

    template <typename Widget> Widget& control(const char* name) const
    {
        return test::control<Widget>(*m_window, name);
    }
    Light& light(int number) const
    {
        return control<Light>(QStringLiteral("PROCESS_TEXTBOX_%1").arg(number).toLatin1().constData());
    }
    void setName(Key key, const std::string& name);

    // A terminator window over this main window, not yet shown.
    std::unique_ptr<TerminatorWindow> terminator();

    // Waits until the lights show a snapshot taken after this call.
    bool showsFreshSnapshot();

    fake::Services fakes;

private:
    ProcessTable& m_table;
    Services m_services;
    std::unique_ptr<MainWindow> m_window;
};

} // namespace korvane::test
