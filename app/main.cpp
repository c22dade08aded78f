#include "app/main_window.h"
#include "platform/qt/qt_file_dialogs.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);

    korvane::OsServices os = korvane::createOsServices();
    korvane::QtFileDialogs fileDialogs;
    korvane::Services services { *os.settings, *os.ownExecutable, *os.processes, *os.launcher, *os.folderSize,
                                 *os.keyboard, *os.stacking,      fileDialogs,   *os.textFiles };

    korvane::MainWindow window(services);
    window.show();
    return application.exec();
}
