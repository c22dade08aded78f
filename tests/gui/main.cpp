// Entry point of the widget tests: an offscreen platform unless one is given, settings and data
// folders of the tests' own, and one QApplication for all tests.
#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// The offscreen platform warns about every window it cannot size by hints, and that it has no tray
// window to follow; that noise hides real warnings.
QtMessageHandler defaultHandler = nullptr;

void quietMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("propagateSizeHints"))
        || message.contains(QLatin1String("systemTrayWindowChanged")))
        return;
    defaultHandler(type, context, message);
}

} // namespace

int main(int argc, char* argv[])
{
    defaultHandler = qInstallMessageHandler(quietMessageHandler);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settingsHome;
    qputenv("XDG_CONFIG_HOME", settingsHome.path().toLocal8Bit());
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());

    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
