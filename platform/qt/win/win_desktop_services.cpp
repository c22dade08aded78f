#include "platform/qt/desktop_services.h"
#include "platform/win/win_keep_awake.h"

#include <QApplication>
#include <QPointer>
#include <QSystemTrayIcon>

namespace korvane {
namespace {

// Windows shows a program's notifications as balloons of its icon in the notification area: the
// one the program keeps there, handed over, or else one of its own.
class TrayNotices : public DesktopNotices
{
public:
    void showThrough(QSystemTrayIcon* trayIcon) override { m_trayIcon = trayIcon; }

    void notify(std::string_view title, std::string_view body) override
    {
        if (!QSystemTrayIcon::isSystemTrayAvailable())
            return;
        QSystemTrayIcon* icon = m_trayIcon && m_trayIcon->isVisible() ? m_trayIcon.data() : shownOwnIcon();
        icon->showMessage(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())),
                          QString::fromUtf8(body.data(), static_cast<qsizetype>(body.size())));
    }

private:
    QSystemTrayIcon* shownOwnIcon()
    {
        m_ownIcon.setIcon(QApplication::windowIcon());
        m_ownIcon.show();
        return &m_ownIcon;
    }

    QPointer<QSystemTrayIcon> m_trayIcon; // the program's own, gone with its window
    QSystemTrayIcon m_ownIcon;
};

} // namespace

std::string findSessionBus()
{
    return {}; // Windows has no session bus; its services are the system's own calls
}

std::unique_ptr<KeepAwake> createKeepAwake()
{
    return std::make_unique<WinKeepAwake>();
}

std::unique_ptr<DesktopNotices> createNotices()
{
    return std::make_unique<TrayNotices>();
}

} // namespace korvane
