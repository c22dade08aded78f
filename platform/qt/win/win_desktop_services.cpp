#include "platform/qt/desktop_services.h"
#include "platform/win/win_keep_awake.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <QWidget>

namespace korvane {
namespace {

// The icon a window of the program shows in the notification area, if any.
QSystemTrayIcon* shownTrayIcon()
{
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* icon = window->findChild<QSystemTrayIcon*>(); icon && icon->isVisible())
            return icon;
    }
    return nullptr;
}

// Windows shows a program's notifications as balloons of its icon in the notification area: the
// one the main window shows there, or else one of its own.
class TrayNotices : public Notices
{
public:
    void notify(std::string_view title, std::string_view body) override
    {
        if (!QSystemTrayIcon::isSystemTrayAvailable())
            return;
        QSystemTrayIcon* icon = shownTrayIcon();
        if (!icon) {
            m_icon.setIcon(QApplication::windowIcon());
            m_icon.show();
            icon = &m_icon;
        }
        icon->showMessage(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())),
                          QString::fromUtf8(body.data(), static_cast<qsizetype>(body.size())));
    }

private:
    QSystemTrayIcon m_icon;
};

} // namespace

std::unique_ptr<KeepAwake> createKeepAwake()
{
    return std::make_unique<WinKeepAwake>();
}

std::unique_ptr<Notices> createNotices()
{
    return std::make_unique<TrayNotices>();
}

} // namespace korvane
