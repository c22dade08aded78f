#include "monitor/folder_size_panel.h"

#include "gui/async_task.h"
#include "gui/controls.h"
#include "gui/live_profile.h"
#include "platform/folder_size.h"

#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace korvane {
namespace {

NumberSeparators userSeparators()
{
    const QLocale locale;
    return { locale.groupSeparator().toStdString(), locale.decimalPoint().toStdString() };
}

} // namespace

FolderSizePanel::FolderSizePanel(const FolderSizeControls& controls,
                                 const LiveProfile& profile,
                                 FolderSize& folderSize,
                                 QObject* parent)
    : QObject(parent)
    , m_controls(controls)
    , m_profile(profile)
    , m_folderSize(folderSize)
{
    connect(m_controls.measureNow, &QPushButton::clicked, this, &FolderSizePanel::measure);
    connect(m_controls.timer, &QTimer::timeout, this, &FolderSizePanel::measure);
}

void FolderSizePanel::measure()
{
    if (m_measuring)
        return;
    m_measuring = true;
    m_controls.measureNow->setEnabled(false);
    async::runThenCallback(
        this,
        [&folderSize = m_folderSize, folder = m_profile.text(Key::BlockchainHome)](std::stop_token stop) {
            return std::pair(folder, folderSize.measure(folder, stop));
        },
        [this](const std::pair<std::string, FolderSizeResult>& answer) { show(answer.first, answer.second); });
}

void FolderSizePanel::show(const std::string& folder, const FolderSizeResult& result)
{
    const FolderSizeReport report = folderSizeReport(folder, result, userSeparators());
    for (std::size_t unit = 0; unit < kFolderSizeUnitCount; ++unit)
        m_controls.units[unit]->setText(controls::fromStd(report.units[unit]));
    // The box breaks lines at "\n"; a lone "\r" would show as a symbol.
    m_controls.summary->setPlainText(
        controls::fromStd(report.summary).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    m_controls.measureNow->setEnabled(true);
    m_measuring = false;
    Q_EMIT shown();
}

} // namespace korvane
