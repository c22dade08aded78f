#include "conf/conf_generator_window.h"

#include "conf/coin_presets.h"
#include "conf/coin_presets_window.h"
#include "conf/conf_check_panel.h"
#include "conf/conf_controls.h"
#include "conf/conf_value_rules.h"
#include "conf/rpc_test_credentials_window.h"
#include "gui/controls.h"
#include "gui/live_profile.h"
#include "gui/window_geometry.h"
#include "platform/services.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

namespace korvane {
namespace {

using confcontrols::confLines;
using controls::shownLines;

constexpr std::array<const char*, kConfOptionCount> kKeyPartNames {
    "WALLET_EQUALS_TEXTBOX",
    "DISABLE_WALLET_EQUALS_TEXTBOX",
    "SERVER_EQUALS_TEXTBOX",
    "ALERTS_EQUALS_TEXTBOX",
    "LISTEN_EQUALS_TEXTBOX",
    "UPNP_EQUALS_TEXTBOX",
    "DNS_EQUALS_TEXTBOX",
    "DAEMON_EQUALS_TEXTBOX",
    "PEER_ALLOW_LOCAL_IP_TEXTBOX",
    "RPC_ALLOW_LOCAL_IP_TEXTBOX",
    "PEER_TIMEOUT_EQUALS_TEXTBOX",
    "RPC_TIMEOUT_EQUALS_TEXTBOX",
    "MAX_CONNECTIONS_EQUALS_TEXTBOX",
    "PORT_EQUALS_TEXTBOX",
    "RPC_PORT_EQUALS_TEXTBOX",
    "UACOMMENT_EQUALS_TEXTBOX",
    "RPCUSER_EQUALS_TEXTBOX",
    "RPCPASSWORD_EQUALS_TEXTBOX",
    "RPCAUTH_EQUALS_TEXTBOX",
};

struct TickDesign
{
    Key key;
    const char* caption;
    ConfOption keyPart;
    const char* hint;
};

// The rows of tick boxes; "Disabled", "Daemon" and the localhost address sit beside their row.
constexpr TickDesign kTickRows[] = {
    { Key::WalletTick, "Wallet", ConfOption::DisableWallet, nullptr },
    { Key::ServerTick, "Server", ConfOption::Server, nullptr },
    { Key::AlertsTick, "Alerts", ConfOption::Alerts, nullptr },
    { Key::ListenTick, "Listen", ConfOption::Listen, nullptr },
    { Key::UpnpTick, "UPnP", ConfOption::Upnp, nullptr },
    { Key::DnsTick, "DNS", ConfOption::Dns, nullptr },
    { Key::OldWalletSupportTick, "OLD Wallet Support", ConfOption::Daemon, "For OLD Crypto's eg Namecoin NMC" },
    { Key::PeerLocalhostTick, "PEER - Allow Localhost", ConfOption::AllowIp, nullptr },
    { Key::RpcLocalhostTick, "RPC - Allow Localhost", ConfOption::RpcAllowIp, nullptr },
};

struct FieldDesign
{
    Key key;
    const char* labelName;
    const char* caption;
    ConfOption keyPart;
    const char* hint;
};

constexpr FieldDesign kValueFields[] = {
    { Key::WalletFile, "Label1", "Wallet File", ConfOption::Wallet,
      "Wallet File Saved In Blockchain Folder - Default=wallet.dat" },
    { Key::Timeout, "TIMEOUT_LABEL", "PEER Timeout", ConfOption::Timeout,
      "timeout=   (Milliseconds - Minimum=1 - Default=5000)" },
    { Key::RpcTimeout, "RPC_TIMEOUT_LABEL", "RPC Timeout", ConfOption::RpcTimeout, nullptr },
    { Key::MaxConnections, "MAX_CONNECTIONS_LABEL", "Max Connections", ConfOption::MaxConnections, nullptr },
    { Key::PeerPort, "PEER_PORT_LABEL", "PEER Port", ConfOption::Port, nullptr },
    { Key::RpcPort, "RPC_PORT_LABEL", "RPC Port", ConfOption::RpcPort, nullptr },
    { Key::UaComment, "UACOMMENT_LABEL", "User Agent Comment", ConfOption::UaComment, nullptr },
    { Key::RpcUser, "RPC_USER_LABEL", "RPC Username", ConfOption::RpcUser, nullptr },
    { Key::RpcPassword, "RPC_PASSWORD_LABEL", "RPC Password", ConfOption::RpcPassword, nullptr },
    { Key::RpcAuth, "RPC_AUTH_LABEL", "RPC Auth", ConfOption::RpcAuth, nullptr },
};

// The caption a value field shows beside it, to name it in a message.
QString captionOf(Key key)
{
    for (const FieldDesign& design : kValueFields) {
        if (design.key == key)
            return QString::fromUtf8(design.caption);
    }
    return QStringLiteral("Crypto Name");
}

// CTRL-ENTER starts a new line in a text box of several lines, as the window's hint says.
class CtrlEnterStartsNewLine : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!enter || !key->modifiers().testFlag(Qt::ControlModifier))
            return false;
        static_cast<QPlainTextEdit*>(watched)->insertPlainText(QStringLiteral("\n"));
        return true;
    }
};

QLabel* captionLabel(const char* objectName, const char* caption, QWidget* parent)
{
    return controls::label(objectName, QString::fromUtf8(caption), parent);
}

} // namespace

ConfGeneratorWindow::ConfGeneratorWindow(Services& services, LiveProfile& profile, std::string confPath, QWidget* owner)
    : KorvaneDialog(WindowId::ConfGenerator, profile, owner)
    , m_services(services)
    , m_confPath(std::move(confPath))
{
    setObjectName(QStringLiteral("KORVANE_CONF_GENERATOR_MAIN"));
    setWindowTitle(QStringLiteral("KORVANE - CRYPTO \".CONF\" CONFIGURATION FILE GENERATOR"));

    m_outputTimer = controls::named(new QTimer(this), "CONF_OUTPUT_TIMER");
    m_outputTimer->setInterval(1000);
    connect(m_outputTimer, &QTimer::timeout, this, &ConfGeneratorWindow::refreshPreview);

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addLayout(buildValueFields());
    left->addLayout(buildTicks());
    left->addStretch(1);
    columns->addLayout(left, 6);
    columns->addLayout(buildUserSettings(), 3);
    columns->addLayout(buildOutput(), 3);

    auto* page = new QVBoxLayout(this);
    page->addLayout(buildHeader());
    page->addLayout(columns, 1);
    page->addLayout(buildButtons());
    addStatusLine(page);

    m_bindings.orderBy(confGeneratorKeys());
    connectToModel();
    load();
}

ConfGeneratorWindow::~ConfGeneratorWindow()
{
    // The widgets outlive the model; nothing they signal while they go may reach it.
    m_model.setChangeListener(nullptr);
    for (QWidget* child : findChildren<QWidget*>())
        child->disconnect(this);
}

Result<> ConfGeneratorWindow::unload()
{
    m_outputTimer->stop();
    return {};
}

QLayout* ConfGeneratorWindow::buildHeader()
{
    auto* row = new QHBoxLayout;
    row->addWidget(confcontrols::titleLabel("QL_CONF_GENERATOR_TITLE", QStringLiteral("KORVANE"), this), 1);
    row->addWidget(
        controls::named(controls::heading(QStringLiteral("CRYPTO \".CONF\" CONFIGURATION FILE GENERATOR"), this),
                        "Label2"),
        3);
    return row;
}

QLayout* ConfGeneratorWindow::buildValueFields()
{
    auto* grid = new QGridLayout;
    auto* nameLabel = captionLabel("CRYPTO_NAME_LABEL", "Crypto Name", this);
    QLineEdit* name = addField(Key::CryptoName);
    name->setToolTip(QStringLiteral("Enter Crypto Name eg BTC"));
    nameLabel->setBuddy(name);
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(name, 0, 1, 1, 3);

    m_header = confcontrols::readOnlyField("FULL_QL_CONF_MESSAGE", QStringLiteral("Header line"), this);
    grid->addWidget(m_header, 1, 0, 1, 4);

    auto* no2x = controls::button("NO_2X_BUTTON", QStringLiteral("NO2X"), this);
    connect(no2x, &QPushButton::clicked, this, [this] { m_model.setText(Key::UaComment, kNo2xComment); });

    int row = 2;
    for (const FieldDesign& design : kValueFields) {
        auto* label = captionLabel(design.labelName, design.caption, this);
        QLineEdit* field = addField(design.key);
        if (design.hint)
            field->setToolTip(QString::fromUtf8(design.hint));
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(addKeyPart(design.keyPart), row, 1);
        if (design.key == Key::UaComment) {
            grid->addWidget(field, row, 2);
            grid->addWidget(no2x, row, 3);
        } else {
            grid->addWidget(field, row, 2, 1, 2);
        }
        ++row;
    }
    grid->setColumnStretch(2, 1);
    return grid;
}

QLayout* ConfGeneratorWindow::buildTicks()
{
    auto* grid = new QGridLayout;
    int row = 0;
    for (const TickDesign& design : kTickRows) {
        QCheckBox* box = addTick(design.key, QString::fromUtf8(design.caption));
        if (design.hint)
            box->setToolTip(QString::fromUtf8(design.hint));
        grid->addWidget(box, row, 0);
        grid->addWidget(addKeyPart(design.keyPart), row, 1);
        ++row;
    }

    QCheckBox* disabled = addTick(Key::DisableWalletTick, QStringLiteral("Disabled"));
    disabled->setToolTip(QStringLiteral("!!! DISABLES ALL WALLET FUNCTIONALITY !!!"));
    grid->addWidget(disabled, 0, 2);
    grid->addWidget(addTick(Key::DaemonTick, QStringLiteral("Daemon")), 6, 2);
    auto* localhost = confcontrols::readOnlyField("LOCALHOST_IP_TEXTBOX", QStringLiteral("Localhost address"), this);
    localhost->setText(controls::fromStd(kLocalhostAddress));
    grid->addWidget(localhost, 7, 2, 2, 1, Qt::AlignVCenter);
    grid->setColumnStretch(3, 1);
    return grid;
}

QLayout* ConfGeneratorWindow::buildUserSettings()
{
    auto* label = captionLabel("USER_DEFINED_SETTINGS_LABEL", "User Defined Settings:", this);
    QPlainTextEdit* settings = addTextBox(Key::UserDefinedSettings);
    settings->setToolTip(QStringLiteral("USE \"CTRL-ENTER\" FOR NEW LINE"));
    settings->installEventFilter(new CtrlEnterStartsNewLine(settings));
    label->setBuddy(settings);
    auto* bottom = captionLabel("U_D_S_BOTTOM_LABEL",
                                "User Defined Settings - USE CAUTION IF NOT 127.0.0.1 / Localhost !!! :)", this);
    auto* message = captionLabel(
        "U_D_S_MESSAGE_LABEL",
        "\"OPTION=LAN-IP-ADDRESS\" =  \"addnode=\" / \"allowip=\" / \"rpcallowip=\" = Remote Connections / Remote "
        "Management",
        this);
    bottom->setWordWrap(true);
    message->setWordWrap(true);

    auto* nodeListLabel = captionLabel("FULL_NODE_LIST_LABEL", "Node List:", this);
    QPlainTextEdit* nodeList = addTextBox(Key::FullNodeList);
    nodeListLabel->setBuddy(nodeList);

    auto* column = new QVBoxLayout;
    column->addWidget(label);
    auto* ctrlEnter = captionLabel("Label3", "!!! USE \"CTRL-ENTER\" FOR NEW LINE !!!", this);
    ctrlEnter->setWordWrap(true);
    column->addWidget(ctrlEnter);
    column->addWidget(settings, 2);
    column->addWidget(bottom);
    column->addWidget(message);
    column->addWidget(nodeListLabel);
    column->addWidget(nodeList, 1);
    return column;
}

QLayout* ConfGeneratorWindow::buildOutput()
{
    auto* label = captionLabel("CONF_OUTPUT_LABEL", "CRYPTO CONFIG OUTPUT", this);
    m_output = controls::named(new QPlainTextEdit(this), "CONF_OUTPUT_TEXTBOX");
    m_output->setReadOnly(true);
    m_output->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_output->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_output->setToolTip(QStringLiteral("Final Crypto-Conf Output"));
    label->setBuddy(m_output);

    auto* column = new QVBoxLayout;
    column->addWidget(label);
    column->addWidget(m_output, 1);
    m_confCheck = new ConfCheckPanel(m_services, profile(), this);
    column->addWidget(m_confCheck);
    return column;
}

QLayout* ConfGeneratorWindow::buildButtons()
{
    auto* locationLabel = captionLabel("CONF_FILE_LOCATION_LABEL", "CONF File Location:", this);
    auto* location = controls::named(new QLineEdit(controls::fromStd(m_confPath), this), "CONF_FILE_LOCATION_TEXTBOX");
    location->setReadOnly(true);
    locationLabel->setBuddy(location);

    auto* presets = controls::button("IDS_BUTTON", QStringLiteral("Import Default Settings"), this);
    auto* credentials
        = controls::button("QL_RPC_TEST_CREDENTIALS_BUTTON", QStringLiteral("RPC TEST Credentials"), this);
    credentials->setToolTip(
        QStringLiteral("RPC TEST Credentials !!! RUN \"rpcuser.py\" TO MAKE YOUR OWN !!! Requires \"Python\" !!!"));
    auto* clear = controls::button("CLEAR_ALL_BUTTON", QStringLiteral("Clear ALL"), this);
    auto* save = controls::button("SAVE_BUTTON", QStringLiteral("SAVE"), this);
    m_cancel = controls::button("CANCEL_BUTTON", QStringLiteral("Cancel"), this);
    connect(presets, &QPushButton::clicked, this, &ConfGeneratorWindow::openCoinPresets);
    connect(credentials, &QPushButton::clicked, this, &ConfGeneratorWindow::openTestCredentials);
    connect(clear, &QPushButton::clicked, this, [this] { clearAll(m_model); });
    connect(save, &QPushButton::clicked, this, &ConfGeneratorWindow::save);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* locationRow = new QHBoxLayout;
    locationRow->addWidget(locationLabel);
    locationRow->addWidget(location, 1);
    auto* buttonRow = new QHBoxLayout;
    for (QPushButton* button : { presets, credentials, clear })
        buttonRow->addWidget(button);
    buttonRow->addStretch(1);
    buttonRow->addWidget(save);
    buttonRow->addWidget(m_cancel);

    auto* rows = new QVBoxLayout;
    rows->addLayout(locationRow);
    rows->addLayout(buttonRow);
    return rows;
}

// Shown flat, as the start of the line its value field or tick box continues.
QLineEdit* ConfGeneratorWindow::addKeyPart(ConfOption option)
{
    const auto index = static_cast<std::size_t>(option);
    auto* field = confcontrols::readOnlyField(
        kKeyPartNames.at(index), controls::fromStd(confOptionKey(option)) + QStringLiteral(" key part"), this);
    field->setText(controls::fromStd(keyPartText(option, true)));
    field->setFrame(false);
    QPalette flat = field->palette();
    flat.setColor(QPalette::Base, flat.color(QPalette::Window));
    field->setPalette(flat);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("#maxconnections=")) + 6);
    m_keyParts.at(index) = field;
    return field;
}

QCheckBox* ConfGeneratorWindow::addTick(Key key, const QString& caption)
{
    QCheckBox* box = controls::tickBox(key, caption, this);
    m_bindings.add(key, box);
    return box;
}

QLineEdit* ConfGeneratorWindow::addField(Key key)
{
    QLineEdit* field = controls::keyLineEdit(key, this);
    m_bindings.add(key, field);
    return field;
}

QPlainTextEdit* ConfGeneratorWindow::addTextBox(Key key)
{
    QPlainTextEdit* box = controls::keyTextBox(key, this);
    m_bindings.add(key, box);
    return box;
}

// The model holds every value and runs the tick rules; the widgets show it. A change made in a
// widget (a click, typing, a screen reader's toggle, a load) goes to the model, and every change of
// the model (its rules, Clear ALL, the presets and credentials windows) is shown at once.
void ConfGeneratorWindow::connectToModel()
{
    m_model.setChangeListener([this] { showModel(); });
    m_model.setRefusalListener([this](Key key, const std::string& character) {
        showModel(); // the field shows the value it keeps
        showStatus(controls::fromStd(oneLineRefusalMessage(captionOf(key).toStdString(), character)));
    });
    m_bindings.sendChanges(m_model, kConfLineBreak, this);
    showModel();
}

void ConfGeneratorWindow::load()
{
    m_bindings.load(profile());
    // While a field is being loaded its binding still holds the bytes loaded before: the model takes
    // the stored bytes once all are loaded, so that bytes that are not UTF-8 reach the file as stored.
    m_bindings.copyTo(m_model, kConfLineBreak);
    m_outputTimer->start();
    showHeader();
    m_model.settleAfterLoad();
}

void ConfGeneratorWindow::showModel()
{
    m_bindings.show(m_model);
    for (std::size_t i = 0; i < kConfOptionCount; ++i)
        m_keyParts.at(i)->setText(controls::fromStd(m_model.keyPart(static_cast<ConfOption>(i))));
}

void ConfGeneratorWindow::showHeader()
{
    m_header->setText(controls::fromStd(m_model.header()));
    m_header->setCursorPosition(0);
}

void ConfGeneratorWindow::refreshPreview()
{
    const std::string text = m_model.render();
    const QString output = shownLines(text);
    showHeader();
    m_confCheck->check(text);
    // Replaced only when it differs, so that a reader's place in the preview is kept.
    if (m_output->toPlainText() != output)
        m_output->setPlainText(output);
}

// Stores the position and every field (the main window follows the crypto name through the
// profile), then writes what the model renders now, so an edit made just before is in the file.
// A file that cannot be written is reported and the old one kept; the caption stays "Cancel".
void ConfGeneratorWindow::save()
{
    const Result<> positionStored = saveWindowPosition(*this, profile().profile(), WindowId::ConfGenerator);
    const Result<> settingsStored = laterFailure(positionStored, m_bindings.store(profile()));
    const std::string text = m_model.render() + std::string(kConfLineBreak);
    refreshPreview();

    QStringList problems;
    if (!settingsStored)
        problems
            << QStringLiteral("The settings could not be saved: %1").arg(controls::fromStd(settingsStored.error()));
    const Result<std::string> written = m_services.textFiles.write(m_confPath, text, FilePermissions::OwnerOnly);
    if (!written)
        problems << QStringLiteral("%1 was not written: %2")
                        .arg(controls::fromStd(m_confPath), controls::fromStd(written.error()));
    QStringList messages = problems;
    if (written && !written.value().empty())
        messages << controls::fromStd(written.value()); // what the writer did to keep the file whole
    showStatus(messages.join(QLatin1Char('\n')));
    if (problems.isEmpty())
        m_cancel->setText(QStringLiteral("Close"));
}

void ConfGeneratorWindow::openCoinPresets()
{
    // The VTC preset's node list is set by the build.
    CoinPresetsWindow window(profile(), m_model, std::string(vtcNodeList()), this);
    window.exec();
}

void ConfGeneratorWindow::openTestCredentials()
{
    RpcTestCredentialsWindow window(profile(), m_model, this);
    window.exec();
}

} // namespace korvane
