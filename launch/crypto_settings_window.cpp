#include "launch/crypto_settings_window.h"

#include "gui/controls.h"
#include "gui/live_profile.h"
#include "launch/option_pair.h"
#include "launch/output_commands_window.h"
#include "platform/services.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <optional>

namespace korvane {

struct OptionPairDesign
{
    const char* title;
    const char* mainCaption;
    Key mainKey;
    Key disabledKey;
    const char* optionName;
    OptionTexts texts;
    const char* mainHint;
    const char* disabledHint;
};

// One tick-box pair shown as a group: the main tick, its "Disabled" tick and the option they add.
class OptionPairBox : public QGroupBox
{
public:
    // The pair's ticks are bound to their keys in `values`.
    OptionPairBox(const OptionPairDesign& design, KeyBindings& values, QWidget* parent)
        : QGroupBox(QString::fromLatin1(design.title), parent)
        , m_pair(design.texts)
    {
        const QString title = QString::fromLatin1(design.title);
        m_main = controls::tickBox(design.mainKey, QString::fromLatin1(design.mainCaption), this);
        m_main->setToolTip(QString::fromLatin1(design.mainHint));
        m_disabled = controls::tickBox(design.disabledKey, QStringLiteral("Disabled"), this);
        m_disabled->setToolTip(QString::fromLatin1(design.disabledHint));
        values.add(design.mainKey, m_main);
        values.add(design.disabledKey, m_disabled);
        m_option = new QLineEdit(this);
        m_option->setObjectName(QString::fromLatin1(design.optionName));
        m_option->setAccessibleName(title + QStringLiteral(" option"));
        m_option->setReadOnly(true);
        m_option->setFocusPolicy(Qt::NoFocus);
        m_option->setFrame(false);
        QPalette flat = m_option->palette();
        flat.setColor(QPalette::Base, flat.color(QPalette::Window));
        m_option->setPalette(flat);

        // However a tick changes (a click, the keyboard, a screen reader, loading), the pair
        // follows it and shows what it took.
        connect(m_main, &QCheckBox::toggled, this, &OptionPairBox::follow);
        connect(m_disabled, &QCheckBox::toggled, this, &OptionPairBox::follow);

        auto* ticks = new QHBoxLayout;
        ticks->addWidget(m_main);
        ticks->addWidget(m_disabled);
        auto* column = new QVBoxLayout(this);
        column->addLayout(ticks);
        column->addWidget(m_option);
        showState();
    }

    std::string_view option() const { return m_pair.option(); }

private:
    void follow()
    {
        m_pair.follow(m_main->isChecked(), m_disabled->isChecked());
        showState();
    }

    void showState()
    {
        m_main->setChecked(m_pair.mainTicked());
        m_main->setEnabled(m_pair.mainClickable());
        m_disabled->setChecked(m_pair.disabledTicked());
        m_disabled->setEnabled(m_pair.disabledClickable());
        m_option->setText(controls::fromStd(m_pair.option()));
    }

    OptionPair m_pair;
    QCheckBox* m_main = nullptr;
    QCheckBox* m_disabled = nullptr;
    QLineEdit* m_option = nullptr;
};

namespace {

constexpr const char* kWalletHint = "disablewallet=";
constexpr const char* kDisableWalletHint = "!!! DISABLES ALL WALLET FUNCTIONALITY !!!";

constexpr OptionPairDesign kOptionPairs[] = {
    { "QT", "Wallet", Key::QtWalletTick, Key::QtDisableWalletTick, "QT_DASH_DISABLE_WALLET_EQUALS_TEXTBOX",
      kWalletOption, kWalletHint, kDisableWalletHint },
    { "DAEMON", "Wallet", Key::DaemonWalletTick, Key::DaemonDisableWalletTick,
      "DAEMON_DASH_DISABLE_WALLET_EQUALS_TEXTBOX", kWalletOption, kWalletHint, kDisableWalletHint },
    { "CLI", "Daemon", Key::CliDaemonTick, Key::DisableDaemonTick, "DASH_DISABLE_DAEMON_EQUALS_TEXTBOX", kDaemonOption,
      "", "" },
};

struct UseButton
{
    const char* name = nullptr; // none when null
    std::string_view value;
};

struct Picker
{
    enum class Kind
    {
        Folder,
        Program,
    };
    const char* name;
    Kind kind;
    std::string_view text; // the folder picker's prompt or the program picker's title
    Key folder = Key::QtLocation; // the field whose folder a program picker starts in
};

struct FieldDesign
{
    Key key;
    std::string_view label;
    UseButton use;
    std::optional<Picker> picker;
};

// The text fields in the order they are loaded and stored.
std::vector<FieldDesign> fieldDesigns(const NodeConventions& c)
{
    using Kind = Picker::Kind;
    return {
        { Key::CryptoName, "CRYPTO NAME:", {}, std::nullopt },
        { Key::BlockchainHome,
          "CRYPTO BLOCKCHAIN - HOME FOLDER:",
          {},
          Picker { "BROWSE_BLOCKCHAIN_FOLDER_BUTTON", Kind::Folder, "BLOCKCHAIN HOME FOLDER" } },
        { Key::QtLocation,
          c.qtFolderLabel,
          { "USE_QT_FOLDER_BUTTON", c.useQtFolder },
          Picker { "BROWSE_QT_FOLDER_BUTTON", Kind::Folder, "QT - Program folder" } },
        { Key::QtName,
          c.qtFileLabel,
          { "USE_QT_FILE_BUTTON", c.useQtFile },
          Picker { "BROWSE_QT_FILE_BUTTON", Kind::Program, c.qtFileTitle, Key::QtLocation } },
        { Key::DaemonCliLocation,
          c.daemonCliFolderLabel,
          { "USE_DAEMON_FOLDER_BUTTON", c.useDaemonCliFolder },
          Picker { "BROWSE_DAEMON_FOLDER_BUTTON", Kind::Folder, "DAEMON - Program Folder" } },
        { Key::CliName,
          c.cliFileLabel,
          { "USE_DAEMONCLI_FILE_BUTTON", c.useCliFile },
          Picker { "BROWSE_DAEMON_CLI_FILE_BUTTON", Kind::Program, c.cliFileTitle, Key::DaemonCliLocation } },
        { Key::DaemonName,
          c.daemonFileLabel,
          { "USE_DAEMOND_FILE_BUTTON", c.useDaemonFile },
          Picker { "BROWSE_DAEMOND_FILE_BUTTON", Kind::Program, c.daemonFileTitle, Key::DaemonCliLocation } },
    };
}

struct CommandDesign
{
    Key key;
    const char* caption;
};

constexpr CommandDesign kCommands[] = {
    { Key::QtCommand, "QT RUN COMMAND" },
    { Key::DaemonCommand, "DAEMON RUN COMMAND" },
    { Key::CliStopCommand, "CLI \"STOP\" RUN COMMAND" },
};

const std::string& lineFor(const CommandLines& lines, Key command)
{
    switch (command) {
    case Key::QtCommand:
        return lines.qt;
    case Key::DaemonCommand:
        return lines.daemon;
    default:
        return lines.cliStop;
    }
}

} // namespace

CryptoSettingsWindow::CryptoSettingsWindow(Services& services,
                                           LiveProfile& profile,
                                           const QString& confLocation,
                                           const NodeConventions& conventions,
                                           QWidget* owner)
    : KorvaneDialog(WindowId::CryptoSettings, profile, owner)
    , m_services(services)
    , m_conventions(conventions)
    , m_confLocation(confLocation)
{
    setObjectName(QStringLiteral("KORVANE_CRYPTO_SETTINGS"));
    setWindowTitle(QStringLiteral("KORVANE - CRYPTO SETTINGS"));

    auto* page = new QVBoxLayout(this);
    page->setSpacing(4);
    page->addWidget(controls::heading(QStringLiteral("CRYPTO SETTINGS"), this));
    page->addLayout(buildFieldRows());
    page->addLayout(buildOptionPairs());
    page->addLayout(buildCommandRows());
    page->addLayout(buildClosingButtons());
    addStatusLine(page);
    m_values.load(profile);
}

QLayout* CryptoSettingsWindow::buildFieldRows()
{
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    grid->setColumnStretch(1, 1);
    int row = 0;
    for (const FieldDesign& design : fieldDesigns(m_conventions)) {
        const auto [label, edit] = controls::keyField(design.key, controls::fromStd(design.label), this);
        m_values.add(design.key, edit);
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 30);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);

        if (design.use.name) {
            auto* use = controls::button(design.use.name, QStringLiteral("Use"), this);
            use->setToolTip(controls::fromStd(design.use.value));
            connect(use, &QPushButton::clicked, this,
                    [edit, value = controls::fromStd(design.use.value)] { edit->setText(value); });
            grid->addWidget(use, row, 2);
        }
        if (const auto& picker = design.picker) {
            const bool folder = picker->kind == Picker::Kind::Folder;
            auto* browse = controls::button(picker->name, QString(), this);
            browse->setIcon(style()->standardIcon(folder ? QStyle::SP_DirOpenIcon : QStyle::SP_FileIcon));
            browse->setAccessibleName(controls::fromStd(picker->text));
            browse->setToolTip(controls::fromStd(picker->text));
            connect(browse, &QPushButton::clicked, this, [this, key = design.key, picker = *picker, folder] {
                if (folder)
                    pickFolder(key, picker.text);
                else
                    pickProgram(key, picker.folder, picker.text);
            });
            grid->addWidget(browse, row, 3);
        }
        ++row;
    }
    return grid;
}

QLayout* CryptoSettingsWindow::buildOptionPairs()
{
    auto* row = new QHBoxLayout;
    for (const OptionPairDesign& design : kOptionPairs) {
        auto* box = new OptionPairBox(design, m_values, this);
        m_optionPairs.push_back(box);
        row->addWidget(box);
    }
    return row;
}

QLayout* CryptoSettingsWindow::buildCommandRows()
{
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    grid->setColumnStretch(1, 1);
    int row = 0;
    for (const CommandDesign& design : kCommands) {
        auto* label = new QLabel(QString::fromLatin1(design.caption), this);
        auto* command = new QPlainTextEdit(this);
        command->setObjectName(controls::objectNameOf(design.key));
        command->setReadOnly(true);
        command->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        command->setFixedHeight(command->fontMetrics().lineSpacing() * 2 + 12);
        label->setBuddy(command);
        m_values.addComputed(design.key, command);
        grid->addWidget(label, row, 0);
        grid->addWidget(command, row++, 1);
    }
    return grid;
}

QLayout* CryptoSettingsWindow::buildClosingButtons()
{
    auto* outputCommands
        = controls::button("VIEW_OUTPUT_COMMANDS_BUTTON", QStringLiteral("VIEW OUTPUT COMMANDS"), this);
    auto* saveButton = controls::button("SAVE_BUTTON", QStringLiteral("Save"), this);
    m_cancel = controls::button("CANCEL_BUTTON", QStringLiteral("Cancel"), this);
    saveButton->setDefault(true);
    connect(outputCommands, &QPushButton::clicked, this, &CryptoSettingsWindow::openOutputCommands);
    connect(saveButton, &QPushButton::clicked, this, &CryptoSettingsWindow::save);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addWidget(outputCommands);
    row->addStretch(1);
    row->addWidget(saveButton);
    row->addWidget(m_cancel);
    return row;
}

// Composes the command lines from what the window shows, and stores the fields, the ticks and the
// lines in one write. A failure is shown here and leaves the window as it was.
void CryptoSettingsWindow::save()
{
    const NodeOptions options { m_optionPairs[0]->option(), m_optionPairs[1]->option(), m_optionPairs[2]->option() };
    const CommandLines lines
        = composeCommandLines(m_conventions, programFields(), m_confLocation.toStdString(), options);
    std::vector<KeyValue> computed;
    for (const CommandDesign& design : kCommands)
        computed.push_back({ design.key, lineFor(lines, design.key) });
    if (!stored(m_values.store(profile(), computed)))
        return;
    m_cancel->setText(QStringLiteral("Close"));
}

void CryptoSettingsWindow::pickFolder(Key target, std::string_view prompt)
{
    auto& dialogs = m_services.fileDialogs;
    if (const auto chosen = dialogs.pickFolder(controls::nativeWindowOf(*this), std::string(prompt)))
        field(target)->setText(controls::fromStd(*chosen));
}

void CryptoSettingsWindow::pickProgram(Key target, Key folder, std::string_view title)
{
    const FileOpenRequest request { std::string(title), std::string(m_conventions.programFilter),
                                    std::string(m_conventions.programExtension), m_values.value(folder) };
    auto& dialogs = m_services.fileDialogs;
    if (const auto chosen = dialogs.pickOpenFile(controls::nativeWindowOf(*this), request))
        field(target)->setText(controls::fromStd(fileNameOf(m_conventions, *chosen)));
}

void CryptoSettingsWindow::openOutputCommands()
{
    OutputCommandsWindow window(profile(), this);
    window.exec();
}

QLineEdit* CryptoSettingsWindow::field(Key key) const
{
    return qobject_cast<QLineEdit*>(m_values.widget(key));
}

NodeProgramFields CryptoSettingsWindow::programFields() const
{
    const auto text = [this](Key key) { return m_values.value(key); };
    return { text(Key::BlockchainHome),    text(Key::QtLocation), text(Key::QtName),
             text(Key::DaemonCliLocation), text(Key::DaemonName), text(Key::CliName) };
}

} // namespace korvane
