#include "app/main_window.h"
#include "platform/qt/desktop_services.h"
#include "platform/qt/qt_file_dialogs.h"

#include <QApplication>
#include <QThreadPool>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);

    korvane::OsServices os = korvane::createOsServices();
    korvane::QtFileDialogs fileDialogs;
    const auto keepAwake = korvane::createKeepAwake();
    const auto notices = korvane::createNotices();
    korvane::Services services { *os.settings,   *os.ownExecutable, *os.processes, *os.launcher,
                                 *os.folderSize, *os.keyboard,      *os.stacking,  fileDialogs,
                                 *os.textFiles,  *keepAwake,        *notices,      *os.autostart };

    int exitCode = 0;
    {
        korvane::MainWindow window(services);
        window.show();
        exitCode = application.exec();
    } // closing the window tells its background tasks to stop...
    QThreadPool::globalInstance()->waitForDone(); // ...and they end before the services they use
    return exitCode;
}
