#include "conf/coin_presets_window.h"

#include "conf/coin_presets.h"
#include "conf/conf_controls.h"
#include "gui/colours.h"
#include "gui/controls.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

namespace korvane {
namespace {

QFont boldArial(const QFont& base)
{
    QFont font = base;
    font.setFamily(QStringLiteral("Arial"));
    font.setPointSizeF(9.75);
    font.setBold(true);
    return font;
}

void paintText(QWidget& widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget.palette();
    palette.setColor(role, colour);
    widget.setPalette(palette);
}

} // namespace

CoinPresetsWindow::CoinPresetsWindow(LiveProfile& profile, ConfFields& generator, std::string nodeList, QWidget* owner)
    : KorvaneDialog(WindowId::CoinPresets, profile, owner)
    , m_generator(generator)
    , m_nodeList(std::move(nodeList))
{
    setObjectName(QStringLiteral("KORVANE_CONF_GENERATOR_IDS"));
    setWindowTitle(QStringLiteral("KORVANE - CONF-GENERATOR - IMPORT DEFAULT SETTINGS"));

    auto* titles = new QHBoxLayout;
    titles->addWidget(confcontrols::titleLabel("QL_CONF_GENERATOR_TITLE", QStringLiteral("KORVANE"), this), 2);
    titles->addWidget(confcontrols::titleLabel("Label1", QStringLiteral("CONF-GENERATOR"), this), 3);

    auto* note = controls::named(new QPlainTextEdit(this), "BTC_BTG_RPC_NOTE_TEXTBOX");
    note->setPlainText(controls::shownLines("!!! BTG USES THE SAME RPC PORT AS BTC !!!\r\n"
                                            "!!! CHANGE THE RPC PORT IF RUNNING AT THE SAME TIME !!!\r\n"));
    note->setReadOnly(true);
    note->setFont(boldArial(note->font()));
    note->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const auto margins = static_cast<int>(2 * (note->frameWidth() + note->document()->documentMargin()));
    note->setFixedHeight(note->fontMetrics().lineSpacing() * 2 + margins + 2);
    controls::paintBackground(*note, QPalette::Base, colours::kBlack);
    paintText(*note, QPalette::Text, colours::kRed);

    auto* page = new QVBoxLayout(this);
    page->addLayout(titles);
    page->addWidget(note);
    page->addLayout(buildCoinButtons());
    page->addLayout(buildControls());
    addStatusLine(page);

    setTabOrder(m_cancel, m_import);
    setTabOrder(m_import, m_basicSettings);
    QWidget* previous = m_basicSettings;
    for (QPushButton* coin : m_coinButtons) {
        setTabOrder(previous, coin);
        previous = coin;
    }
    arm(false);
}

QLayout* CoinPresetsWindow::buildCoinButtons()
{
    auto* row = new QHBoxLayout;
    for (const CoinPreset& preset : coinPresets()) {
        const QString caption = controls::fromStd(preset.button);
        const QByteArray name = (caption + QStringLiteral("_IMPORT_BUTTON")).toLatin1();
        QPushButton* button = controls::button(name.constData(), caption, this);
        button->setToolTip(controls::fromStd(preset.name));
        button->setFont(boldArial(button->font()));
        connect(button, &QPushButton::clicked, this, [this, &preset] { importCoin(preset); });
        m_coinButtons.push_back(button);
        row->addWidget(button);
    }
    return row;
}

QLayout* CoinPresetsWindow::buildControls()
{
    m_import = controls::tickBox("IMPORT_SETTINGS_TICKBOX", QStringLiteral("Import Default Settings"), this);
    connect(m_import, &QCheckBox::toggled, this, &CoinPresetsWindow::arm);

    m_basicSettings = controls::button("BASIC_SETTINGS_BUTTON", QStringLiteral("BASIC SETTINGS"), this);
    connect(m_basicSettings, &QPushButton::clicked, this, &CoinPresetsWindow::importBasicSettings);
    auto* doFirst = controls::label("DO_FIRST_LABEL", QStringLiteral("DO THIS FIRST"), this);
    doFirst->setFont(boldArial(doFirst->font()));
    doFirst->setAlignment(Qt::AlignCenter);
    controls::paintBackground(*doFirst, QPalette::Window, colours::kBlack);
    paintText(*doFirst, QPalette::WindowText, colours::kRed);

    m_cancel = controls::button("CANCEL_BUTTON", QStringLiteral("Cancel"), this);
    m_cancel->setDefault(true);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(m_import, 0, 0);
    grid->addWidget(m_basicSettings, 0, 1);
    grid->addWidget(doFirst, 1, 1);
    grid->addWidget(m_cancel, 0, 2);
    return grid;
}

// The tick is a safety catch: nothing in the generator can be overwritten until it is ticked.
void CoinPresetsWindow::arm(bool armed)
{
    m_basicSettings->setEnabled(armed);
    for (QPushButton* coin : m_coinButtons)
        coin->setEnabled(armed);
}

// Each tick allows exactly one coin import.
void CoinPresetsWindow::importCoin(const CoinPreset& preset)
{
    m_import->setChecked(false);
    applyCoinPreset(m_generator, preset, m_nodeList);
    m_cancel->setText(QStringLiteral("Close"));
}

// Leaves the tick set, so that a coin preset can follow.
void CoinPresetsWindow::importBasicSettings()
{
    applyBasicSettings(m_generator);
    m_cancel->setText(QStringLiteral("Close"));
}

} // namespace korvane
