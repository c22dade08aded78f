#include "launch/output_commands_window.h"

#include "gui/controls.h"
#include "gui/live_profile.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvane {
namespace {

const QString kCommandNamePrefix = QStringLiteral("RUN COMMAND - ");

} // namespace

OutputCommandsWindow::OutputCommandsWindow(LiveProfile& profile, QWidget* owner)
    : KorvaneDialog(WindowId::OutputCommands, profile, owner)
{
    setObjectName(QStringLiteral("KORVANE_SINGLE_OUTPUT_COMMANDS_WINDOW"));
    setWindowTitle(QStringLiteral("KORVANE - OUTPUT COMMANDS - SINGLE WINDOW"));

    auto* qt = controls::button("QT_COMMAND_BUTTON", QStringLiteral("QT RUN COMMAND"), this);
    auto* daemon = controls::button("DAEMON_COMMAND_BUTTON", QStringLiteral("DAEMON RUN COMMAND"), this);
    auto* cliStop = controls::button("CLI_STOP_COMMAND_BUTTON", QStringLiteral("CLI \"STOP\"  RUN COMMAND"), this);
    auto* ok = controls::button("OK_BUTTON", QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(qt, &QPushButton::clicked, this, [this] { showCommand(QStringLiteral("QT"), Key::QtCommand); });
    connect(daemon, &QPushButton::clicked, this, [this] { showCommand(QStringLiteral("DAEMON"), Key::DaemonCommand); });
    connect(cliStop, &QPushButton::clicked, this,
            [this] { showCommand(QStringLiteral("CLI - STOP"), Key::CliStopCommand); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    m_commandName = new QLabel(kCommandNamePrefix, this);
    m_commandName->setObjectName(QStringLiteral("COMMAND_NAME_LABEL"));

    m_command = new QPlainTextEdit(this);
    m_command->setObjectName(QStringLiteral("ALL_COMMANDS_TEXTBOX"));
    m_command->setReadOnly(true);
    m_command->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_command->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_command->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_commandName->setBuddy(m_command);

    auto* choices = new QHBoxLayout;
    choices->addWidget(qt);
    choices->addWidget(daemon);
    choices->addWidget(cliStop);

    auto* closing = new QHBoxLayout;
    closing->addStretch(1);
    closing->addWidget(ok);

    auto* page = new QVBoxLayout(this);
    page->addWidget(controls::heading(QStringLiteral("OUTPUT COMMANDS - SINGLE WINDOW"), this));
    page->addLayout(choices);
    page->addWidget(m_commandName);
    page->addWidget(m_command, 1);
    page->addLayout(closing);
}

void OutputCommandsWindow::showCommand(const QString& name, Key command)
{
    m_commandName->setText(kCommandNamePrefix + name);
    m_command->setPlainText(controls::fromStd(profile().text(command)));
}

} // namespace korvane
