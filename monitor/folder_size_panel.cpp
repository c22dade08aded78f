#include "monitor/folder_size_panel.h"

#include "gui/controls.h"
#include "gui/live_profile.h"
#include "platform/folder_size.h"
#include "platform/qt/async_task.h"

#include <QCheckBox>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

namespace korvane {
namespace {

constexpr int kAutoUpdateIntervalMs = 60000;

NumberSeparators userSeparators()
{
    const QLocale locale;
    return { locale.groupSeparator().toStdString(), locale.decimalPoint().toStdString() };
}

} // namespace

FolderSizePanel::FolderSizePanel(const LiveProfile& profile, FolderSize& folderSize, QWidget* parent)
    : QWidget(parent)
    , m_profile(profile)
    , m_folderSize(folderSize)
{
    buildControls();
    m_timer = controls::named(new QTimer(this), "BC_FOLDERSIZE_TIMER");
    m_timer->setInterval(kAutoUpdateIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &FolderSizePanel::measure);
    followAutoUpdate();
    connect(&m_profile, &LiveProfile::changed, this, [this](Key key) {
        if (key == Key::AutoUpdateFolderSize)
            followAutoUpdate();
    });
}

void FolderSizePanel::buildControls()
{
    m_summary = controls::named(new QPlainTextEdit(this), "BC_FOLDER_SIZE_BEFORE");
    m_summary->setReadOnly(true);
    m_summary->setToolTip(QStringLiteral("Blockchain Folder Size"));
    m_summary->setAccessibleName(QStringLiteral("Blockchain Folder Size"));
    // Six sizes, then room for a note on subfolders that could not be read; a long path wraps.
    const int margins = 2 * (m_summary->frameWidth() + static_cast<int>(m_summary->document()->documentMargin()) + 1);
    m_summary->setFixedHeight(m_summary->fontMetrics().lineSpacing() * 8 + margins);

    m_measureNow = controls::button("FFS_RUN_1_BUTTON", QStringLiteral("Get Folder Size Now"), this);
    connect(m_measureNow, &QPushButton::clicked, this, &FolderSizePanel::measure);

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(2);
    box->addWidget(controls::label("BC_FOLDER_LABEL", QStringLiteral("Blockchain Folder Size:"), this));
    box->addWidget(m_summary);
    box->addWidget(m_measureNow);
    m_freeSpace = controls::label("FREE_SPACE_LABEL", QString(), this);
    m_freeSpace->setWordWrap(true);
    box->addWidget(m_freeSpace);
    box->addStretch(1);
}

void FolderSizePanel::followAutoUpdate()
{
    if (m_profile.ticked(Key::AutoUpdateFolderSize))
        m_timer->start();
    else
        m_timer->stop();
}

void FolderSizePanel::measure()
{
    if (m_measuring)
        return;
    m_measuring = true;
    m_measureNow->setEnabled(false);
    async::runThenCallback(
        this,
        [&folderSize = m_folderSize, folder = m_profile.text(Key::BlockchainHome)](std::stop_token stop) {
            Measurement measurement { folder, folderSize.measure(folder, stop), std::nullopt };
            // Read here too: a file system on the network may take its time to answer.
            if (const QStorageInfo storage(controls::fromStd(folder)); measurement.size.measured() && storage.isValid())
                measurement.freeBytes = static_cast<std::uint64_t>(storage.bytesAvailable());
            return measurement;
        },
        [this](const Measurement& measurement) { show(measurement); });
}

void FolderSizePanel::show(const Measurement& measurement)
{
    const FolderSizeReport report = folderSizeReport(measurement.folder, measurement.size, userSeparators());
    // The box breaks lines at "\n"; a lone "\r" would show as a symbol.
    m_summary->setPlainText(controls::fromStd(report.summary).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    m_freeSpace->setText(freeSpaceText(measurement));
    m_measureNow->setEnabled(true);
    m_measuring = false;
    Q_EMIT shown();
}

QString FolderSizePanel::freeSpaceText(const Measurement& measurement)
{
    if (!measurement.freeBytes)
        return {};
    if (!m_clock.isValid())
        m_clock.start();
    m_growth.add(std::chrono::milliseconds(m_clock.elapsed()), measurement.size.bytes);
    const auto growth = m_growth.bytesPerDay();
    const std::string warning = lowSpaceWarning(*measurement.freeBytes, growth, threshold());
    if (warning.empty())
        m_lowSpaceSaid = false;
    else if (!m_lowSpaceSaid) {
        m_lowSpaceSaid = true;
        Q_EMIT lowSpace(controls::fromStd(warning));
    }
    return controls::fromStd(freeSpaceLine(*measurement.freeBytes, growth));
}

std::uint64_t FolderSizePanel::threshold()
{
    const std::string text = m_profile.text(Key::LowSpaceGigabytes);
    const LowSpaceThreshold threshold = lowSpaceThreshold(text);
    if (!threshold.refusal.empty() && text != m_refusedThreshold)
        Q_EMIT statusMessage(controls::fromStd(threshold.refusal));
    m_refusedThreshold = threshold.refusal.empty() ? std::nullopt : std::optional(text);
    return threshold.bytes;
}

QCheckBox* autoUpdateFolderSizeBox(const LiveProfile& profile, QWidget* parent)
{
    auto* box
        = controls::tickBox(Key::AutoUpdateFolderSize, QStringLiteral("Auto Update Blockchain Folder Size"), parent);
    // The option is switched in the settings window; this box only shows it.
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->setFocusPolicy(Qt::NoFocus);
    box->setChecked(profile.ticked(Key::AutoUpdateFolderSize));
    QObject::connect(&profile, &LiveProfile::changed, box, [&profile, box](Key key) {
        if (key == Key::AutoUpdateFolderSize)
            box->setChecked(profile.ticked(key));
    });
    return box;
}

} // namespace korvane
