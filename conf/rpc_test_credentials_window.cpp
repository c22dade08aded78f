#include "conf/rpc_test_credentials_window.h"

#include "conf/conf_controls.h"
#include "conf/conf_model.h"
#include "conf/rpc_test_credentials.h"
#include "gui/colours.h"
#include "gui/controls.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvane {
namespace {

constexpr const char* kInformation
    = "Website - https://github.com/bitcoin/bitcoin/tree/master/share/rpcauth\r\n"
      "Direct - RPCUser Script - https://raw.githubusercontent.com/bitcoin/bitcoin/master/share/rpcauth/rpcauth.py\r\n"
      "Use \"MSYS2 MinGW\" to run the python script to create your own credentials.\r\n"
      "Open the script in Notepad to check that you haven't downloaded an HTML page !!!\r\n";

QLabel* warningLabel(QWidget* parent)
{
    auto* label
        = controls::label("RED_TEST_WARNING_LABEL", QStringLiteral("!!! NOT SECURE - FOR TESTING ONLY !!!"), parent);
    QFont font = label->font();
    font.setFamily(QStringLiteral("Arial"));
    font.setPointSizeF(11.25);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    controls::paintBackground(*label, QPalette::Window, colours::kRed);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    return label;
}

} // namespace

RpcTestCredentialsWindow::RpcTestCredentialsWindow(LiveProfile& profile, ConfFields& generator, QWidget* owner)
    : KorvaneDialog(WindowId::TestRpcCredentials, profile, owner)
    , m_generator(generator)
{
    setObjectName(QStringLiteral("KORVANE_CONF_GENERATOR_TEST_RPC"));
    setWindowTitle(QStringLiteral("KORVANE - CONF-GENERATOR - TEST RPC CREDENTIALS"));

    auto* titles = new QHBoxLayout;
    titles->addWidget(confcontrols::titleLabel("QL_CONF_GENERATOR_TITLE", QStringLiteral("KORVANE"), this));
    titles->addWidget(confcontrols::titleLabel("Label1", QStringLiteral("CONF-GENERATOR"), this));

    auto* information = controls::named(new QPlainTextEdit(this), "RPCUSER_INFO_TEXTBOX");
    information->setPlainText(controls::shownLines(kInformation));
    information->setReadOnly(true);
    information->setAccessibleName(QStringLiteral("About the RPC credentials"));

    auto* page = new QVBoxLayout(this);
    page->addLayout(titles);
    page->addWidget(information);
    page->addWidget(warningLabel(this));
    page->addLayout(buildPresetButtons());
    page->addLayout(buildFields());
    page->addLayout(buildButtons());
    addStatusLine(page);

    m_values.load(m_generator); // as loaded values, so that unchanged ones keep their bytes
    std::vector<bool> matching;
    for (const RpcTestCredentials& preset : rpcTestCredentials())
        matching.push_back(m_user->text() == controls::fromStd(preset.user));
    highlight(matching);
}

QLayout* RpcTestCredentialsWindow::buildPresetButtons()
{
    auto* row = new QHBoxLayout;
    const auto presets = rpcTestCredentials();
    for (std::size_t i = 0; i < presets.size(); ++i) {
        const QString number = QString::number(i + 1);
        const QByteArray name = (QStringLiteral("TEST_CFG_") + number + QStringLiteral("_BUTTON")).toLatin1();
        QPushButton* button = controls::button(name.constData(), number, this);
        button->setToolTip(controls::fromStd(presets[i].user));
        // Ten in a row: narrower than a push button's usual width.
        button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
        connect(button, &QPushButton::clicked, this, [this, i] { choose(i); });
        m_presets.push_back(button);
        row->addWidget(button);
    }
    return row;
}

QLayout* RpcTestCredentialsWindow::buildFields()
{
    const auto labelFor = [this](const char* name, const char* caption, const char* hint, QWidget* buddy) {
        QLabel* label = controls::label(name, QString::fromLatin1(caption), this);
        label->setToolTip(QString::fromLatin1(hint));
        label->setBuddy(buddy);
        return label;
    };
    m_user = controls::keyLineEdit(Key::RpcUser, this);
    m_password = controls::keyLineEdit(Key::RpcPassword, this);
    m_auth = controls::keyTextBox(Key::RpcAuth, this);
    m_auth->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_values.add(Key::RpcUser, m_user);
    m_values.add(Key::RpcPassword, m_password);
    m_values.add(Key::RpcAuth, m_auth);

    auto* column = new QVBoxLayout;
    column->addWidget(labelFor("RPC_USER_LABEL", "RPC Username", "rpcuser=", m_user));
    column->addWidget(m_user);
    column->addWidget(labelFor("RPC_PASSWORD_LABEL", "RPC Password", "rpcpassword=", m_password));
    column->addWidget(m_password);
    column->addWidget(labelFor("RPC_AUTH_LABEL", "RPC Auth", "rpcauth=", m_auth));
    column->addWidget(m_auth, 1);
    return column;
}

QLayout* RpcTestCredentialsWindow::buildButtons()
{
    auto* use = controls::button("USE_CURRENT_CREDENTIALS_BUTTON", QStringLiteral("USE CURRENT CREDENTIALS"), this);
    connect(use, &QPushButton::clicked, this, &RpcTestCredentialsWindow::useCurrent);
    m_cancel = controls::button("CANCEL_BUTTON", QStringLiteral("Cancel"), this);
    m_cancel->setDefault(true);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addWidget(use, 2);
    row->addStretch(1);
    row->addWidget(m_cancel, 1);
    return row;
}

// Fills the boxes with one preset; the generator is left alone until "USE CURRENT CREDENTIALS".
void RpcTestCredentialsWindow::choose(std::size_t preset)
{
    const RpcTestCredentials& chosen = rpcTestCredentials()[preset];
    m_user->setText(controls::fromStd(chosen.user));
    m_password->setText(controls::fromStd(chosen.password));
    m_auth->setPlainText(controls::fromStd(chosen.rpcAuth));
    std::vector<bool> selected(m_presets.size(), false);
    selected[preset] = true;
    highlight(selected);
}

// Selected presets are green; a screen reader hears "selected" after the user name.
void RpcTestCredentialsWindow::highlight(const std::vector<bool>& selected)
{
    const auto presets = rpcTestCredentials();
    for (std::size_t i = 0; i < m_presets.size(); ++i) {
        QPushButton* button = m_presets[i];
        const QString user = controls::fromStd(presets[i].user);
        if (selected[i]) {
            controls::paintBackground(*button, QPalette::Button, colours::kGreen);
            button->setAccessibleDescription(user + QStringLiteral(", selected"));
        } else {
            button->setPalette(QPalette());
            button->setAccessibleDescription(user);
        }
    }
}

void RpcTestCredentialsWindow::useCurrent()
{
    m_values.copyTo(m_generator, kConfLineBreak);
    m_cancel->setText(QStringLiteral("Close"));
}

} // namespace korvane
