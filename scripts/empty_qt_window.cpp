// An empty Qt window that does nothing: what any Qt program costs while it sits idle, the
// reference beside which scripts/measure-idle.sh puts the program.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.resize(640, 480);
    window.show();
    return application.exec();
}
