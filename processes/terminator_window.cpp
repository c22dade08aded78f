#include "processes/terminator_window.h"

#include "gui/colours.h"
#include "gui/controls.h"
#include "gui/light.h"
#include "gui/live_profile.h"
#include "gui/status_line.h"
#include "platform/process_table.h"
#include "processes/terminator_rules.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace korvane {
namespace {

using controls::label;

struct RowDesign
{
    const char* label;
    const char* caption;
    const char* nameField;
    const char* button;
};

// In the order of WatchedProgram, which is also the order of the main window's process lights.
constexpr RowDesign kRows[] = {
    { "QT_PROCESS_LABEL", "QT Process:", "QT_NAME_TEXTBOX", "QT_TERMINATE_BUTTON" },
    { "DAEMON_PROCESS_LABEL", "DAEMON Process:", "DAEMON_NAME_TEXTBOX", "DAEMON_TERMINATE_BUTTON" },
    { "CLI_PROCESS_LABEL", "CLI Process:", "CLI_NAME_TEXTBOX", "CLI_TERMINATE_BUTTON" },
    { "SENDEMAIL_PROCESS_LABEL", "EMAIL Process:", "PROCESS_TEXTBOX_4", "SENDEMAIL_TERMINATE_BUTTON" },
};

// The name a row shows, in the order of WatchedProgram.
const std::string& watchedName(const WatchedNames& names, std::size_t row)
{
    const std::array<const std::string*, kWatchedProgramCount> byRow { &names.qt, &names.daemon, &names.cli,
                                                                       &names.email };
    return *byRow.at(row);
}

constexpr int kMirrorIntervalMs = 1000;

// The background of a text field as the style paints it.
QColor textFieldBackground(const QWidget& field)
{
    return QApplication::palette(&field).color(QPalette::Base);
}

} // namespace

TerminatorWindow::TerminatorWindow(LiveProfile& profile,
                                   ProcessTable& table,
                                   const ProcessWatcher& watcher,
                                   QWidget* owner)
    : KorvaneDialog(WindowId::Terminator, profile, owner)
    , m_table(table)
    , m_states(watcher.states())
{
    setObjectName(QStringLiteral("KORVANE_TERMINATOR_WINDOW"));
    setWindowTitle(QStringLiteral("KORVANE - PROCESS TERMINATOR"));

    QLayout* rows = buildRows(watchedNames(profile));
    connect(&watcher, &ProcessWatcher::shown, this, [this](const RunningStates& states) { m_states = states; });
    m_enable = controls::tickBox("ENABLE_TERMINATOR_TICKBOX", QStringLiteral("!!! ENABLE TERMINATOR !!!"), this);
    connect(m_enable, &QCheckBox::toggled, this, &TerminatorWindow::arm);
    m_mirrorTimer = new QTimer(this);
    m_mirrorTimer->setObjectName(QStringLiteral("MIRROR_PROCESS_STATE_TIMER"));
    m_mirrorTimer->setInterval(kMirrorIntervalMs);
    connect(m_mirrorTimer, &QTimer::timeout, this, &TerminatorWindow::mirror);

    auto* ok = controls::button("OK_BUTTON", QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    m_result = new StatusLine(
        { .objectName = "TERMINATE_RESULT_LABEL", .hiddenWhileEmpty = false, .repeatedInToolTip = false }, this);

    auto* title = label("VORSELL_TITLE_LABEL", QStringLiteral("KORVANE"), this);
    auto* heading = label("PROCESS_TERMINATOR_LABEL", QStringLiteral("PROCESS TERMINATOR"), this);
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    title->setFont(headingFont);
    heading->setFont(headingFont);

    auto* closing = new QHBoxLayout;
    closing->addWidget(m_enable);
    closing->addStretch(1);
    closing->addWidget(ok);

    auto* page = new QVBoxLayout(this);
    auto* titles = new QHBoxLayout;
    titles->addWidget(title);
    titles->addWidget(heading);
    titles->addStretch(1);
    page->addLayout(titles);
    page->addWidget(label("WARNING_1_LABEL",
                          QStringLiteral("!!! WARNING - TERMINATING PROCESSES CAN CREATE BIG PROBLEMS... !!! :)"),
                          this));
    page->addWidget(label("WARNING_2_LABEL",
                          QStringLiteral("!!! ONLY TERMINATE PROCESSES IF YOU CANT END THEM NORMALLY !!!"), this));
    page->addLayout(rows);
    page->addWidget(label("WARNING_3_LABEL",
                          QStringLiteral("!!! WARNING: TERMINATING QT / DAEMON PROCESSES MAY / \n"
                                         "PROBABLY WILL CAUSE BLOCKCHAIN DATABASE CORRUPTION !!!\n"),
                          this));
    page->addWidget(m_result);
    page->addLayout(closing);
}

QLayout* TerminatorWindow::buildRows(const WatchedNames& names)
{
    auto* grid = new QGridLayout;
    for (std::size_t i = 0; i < kWatchedProgramCount; ++i) {
        const RowDesign& design = kRows[i];
        Row& row = m_rows[i];
        auto* caption = label(design.label, QString::fromLatin1(design.caption), this);
        row.name = new QLineEdit(this);
        row.name->setObjectName(QString::fromLatin1(design.nameField));
        row.name->setText(controls::fromStd(watchedName(names, i)));
        row.name->setToolTip(row.name->text());
        row.name->setReadOnly(true);
        row.name->setEnabled(false);
        caption->setBuddy(row.name);
        row.terminate = controls::button(design.button, QStringLiteral("TERMINATE"), this);
        row.terminate->setEnabled(false);
        connect(row.terminate, &QPushButton::clicked, this, [this, &row] { terminate(row); });

        const int line = static_cast<int>(i);
        grid->addWidget(caption, line, 0);
        grid->addWidget(row.name, line, 1);
        grid->addWidget(row.terminate, line, 2);
    }
    grid->setColumnStretch(1, 1);
    return grid;
}

void TerminatorWindow::arm(bool armed)
{
    if (armed) {
        m_mirrorTimer->start();
        return;
    }
    m_mirrorTimer->stop();
    for (const Row& row : m_rows)
        controls::paintBackground(*row.name, QPalette::Base, textFieldBackground(*row.name));
}

void TerminatorWindow::mirror()
{
    ProgramStates running {};
    for (std::size_t i = 0; i < kWatchedProgramCount; ++i) {
        const auto& state = m_states[i];
        const QColor colour = !state ? textFieldBackground(*m_rows[i].name) : *state ? colours::kGreen : colours::kRed;
        controls::paintBackground(*m_rows[i].name, QPalette::Base, colour);
        running[i] = state.value_or(false);
    }
    const auto access = terminatorAccess(running);
    for (std::size_t i = 0; i < kWatchedProgramCount; ++i) {
        m_rows[i].terminate->setEnabled(access[i].terminate);
        m_rows[i].name->setEnabled(access[i].nameField);
    }
}

void TerminatorWindow::terminate(const Row& row)
{
    const std::string name = row.name->text().toStdString();
    if (name.empty())
        return;
    Q_EMIT terminating(static_cast<WatchedProgram>(&row - m_rows.data()));
    m_result->showMessage(controls::fromStd(terminationReport(name, m_table.terminateAll(name))));
}

} // namespace korvane
