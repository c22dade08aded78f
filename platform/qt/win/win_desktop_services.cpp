#include "platform/qt/desktop_services.h"
#include "platform/win/win_keep_awake.h"

#include <QApplication>
#include <QSystemTrayIcon>

namespace korvane {
namespace {

// Windows shows a program's notifications as balloons of its icon in the notification area.
class TrayNotices : public Notices
{
public:
    void notify(std::string_view title, std::string_view body) override
    {
        if (!QSystemTrayIcon::isSystemTrayAvailable())
            return;
        if (!m_icon.isVisible()) {
            m_icon.setIcon(QApplication::windowIcon());
            m_icon.show();
        }
        m_icon.showMessage(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())),
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
