#include "tests/processes/watched_main_window.h"

#include "processes/process_watcher.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <stdexcept>

namespace korvane::test {

WatchedMainWindow::WatchedMainWindow(ProcessTable& table)
    : m_table(table)
    , m_services { fakes.settings,   fakes.ownExecutable, table,          fakes.launcher,
                   fakes.folderSize, fakes.keyboard,      fakes.stacking, fakes.fileDialogs,
                   fakes.textFiles,  fakes.programs }
    , m_window(std::make_unique<MainWindow>(m_services))
{
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        throw std::runtime_error("the main window was not shown");
}

WatchedMainWindow::~WatchedMainWindow() = default;

void WatchedMainWindow::setName(const char* nameBox, const std::string& name)
{
    control<QLineEdit>(nameBox).setText(QString::fromStdString(name));
}

std::unique_ptr<TerminatorWindow> WatchedMainWindow::terminator()
{
    return std::make_unique<TerminatorWindow>(m_window->profile(), m_table, *m_window->findChild<ProcessWatcher*>(),
                                              m_window.get());
}

bool WatchedMainWindow::showsFreshSnapshot()
{
    // A snapshot may already be under way; the one after it starts after this call.
    QSignalSpy shown(m_window->findChild<ProcessWatcher*>(), &ProcessWatcher::shown);
    if (!shown.isValid())
        throw std::runtime_error("the main window has no process watcher");
    return QTest::qWaitFor([&] { return shown.count() >= 2; }, 3000);
}

} // namespace korvane::test
