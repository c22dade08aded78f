#include "app/main_window.h"
#include "platform/qt/desktop_services.h"
#include "platform/qt/qt_file_dialogs.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QThreadPool>
#include <memory>

namespace {

// Ends the program as Exit does when the system or a user asks by signal: every window closes, the
// main window storing its position, and the heartbeat sends a pending second press as it goes.
std::unique_ptr<QSocketNotifier> endAsThroughExitOnSignal(korvane::EndSignals& endSignals)
{
    const int descriptor = endSignals.catchEndSignals();
    if (descriptor < 0)
        return nullptr;
    auto notifier = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(), [&endSignals] {
        if (endSignals.takeEndRequest())
            QApplication::closeAllWindows();
    });
    return notifier;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);

    korvane::OsServices os = korvane::createOsServices();
    korvane::QtFileDialogs fileDialogs;
    const auto keepAwake = korvane::createKeepAwake();
    const auto notices = korvane::createNotices();
    const auto shutdownGuard = korvane::createShutdownGuard();
    korvane::Services services { *os.settings, *os.ownExecutable, *os.processes, *os.launcher,  *os.folderSize,
                                 *os.keyboard, *os.stacking,      fileDialogs,   *os.textFiles, *keepAwake,
                                 *notices,     *os.autostart,     *os.programs,  *shutdownGuard };
    const auto endSignalWatch = endAsThroughExitOnSignal(*os.endSignals);

    int exitCode = 0;
    {
        korvane::MainWindow window(services);
        window.show();
        exitCode = application.exec();
    } // closing the window tells its background tasks to stop...
    QThreadPool::globalInstance()->waitForDone(); // ...and they end before the services they use
    return exitCode;
}
