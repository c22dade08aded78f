#pragma once

#include "conf/conf_model.h"
#include "gui/korvane_dialog.h"

#include <string>
#include <vector>

class QCheckBox;
class QPushButton;

namespace korvane {

struct CoinPreset;

// KORVANE_CONF_GENERATOR_IDS: fills the conf generator with the basic settings and one coin's
// preset. A safety tick arms the seven buttons; a coin import disarms them again.
class CoinPresetsWindow : public KorvaneDialog
{
    Q_OBJECT

public:
    // Writes into `generator`; the VTC preset copies `nodeList`.
    CoinPresetsWindow(LiveProfile& profile, ConfFields& generator, std::string nodeList, QWidget* owner);

private:
    QLayout* buildCoinButtons();
    QLayout* buildControls();
    void arm(bool armed);
    void importCoin(const CoinPreset& preset);
    void importBasicSettings();

    ConfFields& m_generator;
    const std::string m_nodeList;
    QCheckBox* m_import = nullptr;
    QPushButton* m_basicSettings = nullptr;
    std::vector<QPushButton*> m_coinButtons;
    QPushButton* m_cancel = nullptr;
};

} // namespace korvane
