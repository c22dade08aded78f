#include "app/main_window.h"
#include "platform/qt/desktop_services.h"
#include "platform/qt/qt_file_dialogs.h"
#include "platform/qt/qt_system_tray.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QThreadPool>
#include <memory>

namespace {

// Ends the program as Exit does when the system or a user asks by signal: every window closes, the
// main window storing its position (also where it waits hidden in the tray), and the heartbeat
// sends a pending second press as it goes. Signals that came before are in the descriptor already.
std::unique_ptr<QSocketNotifier>
endAsThroughExitOnSignal(int descriptor, korvane::EndSignals& endSignals, QWidget& mainWindow)
{
    if (descriptor < 0)
        return nullptr;
    auto notifier = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(), [&endSignals, &mainWindow] {
        if (!endSignals.takeEndRequest())
            return;
        const bool inTray = mainWindow.isHidden();
        QApplication::closeAllWindows(); // the shown ones
        if (inTray)
            mainWindow.close();
    });
    return notifier;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::string noSessionBus = korvane::findSessionBus();
    QApplication application(argc, argv);

    korvane::OsServices os = korvane::createOsServices();
    korvane::QtFileDialogs fileDialogs;
    const auto keepAwake = korvane::createKeepAwake();
    const auto notices = korvane::createNotices();
    const auto shutdownGuard = korvane::createShutdownGuard();
    korvane::QtSystemTray tray;
    korvane::Services services { *os.settings, *os.ownExecutable, *os.processes, *os.launcher,   *os.folderSize,
                                 *os.keyboard, *os.stacking,      fileDialogs,   *os.textFiles,  *keepAwake,
                                 *notices,     *os.autostart,     *os.programs,  *shutdownGuard, tray,
                                 *os.ports,    *os.memory };
    const int endDescriptor = os.endSignals->catchEndSignals();

    int exitCode = 0;
    {
        korvane::MainWindow window(services);
        notices->showThrough(window.trayIcon());
        window.showStatus(QString::fromStdString(noSessionBus));
        const auto endSignalWatch = endAsThroughExitOnSignal(endDescriptor, *os.endSignals, window);
        window.show();
        exitCode = application.exec();
    } // closing the window tells its background tasks to stop...
    QThreadPool::globalInstance()->waitForDone(); // ...and they end before the services they use
    return exitCode;
}
