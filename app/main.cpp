#include "app/main_window.h"
#include "platform/qt/qt_file_dialogs.h"

#include <QApplication>
#include <QThreadPool>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);

    korvane::OsServices os = korvane::createOsServices();
    korvane::QtFileDialogs fileDialogs;
    korvane::Services services { *os.settings, *os.ownExecutable, *os.processes, *os.launcher,  *os.folderSize,
                                 *os.keyboard, *os.stacking,      fileDialogs,   *os.textFiles, *os.programs };

    int exitCode = 0;
    {
        korvane::MainWindow window(services);
        window.show();
        exitCode = application.exec();
    } // closing the window tells its background tasks to stop...
    QThreadPool::globalInstance()->waitForDone(); // ...and they end before the services they use
    return exitCode;
}
