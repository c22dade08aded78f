#pragma once

#include "gui/key_bindings.h"
#include "gui/korvane_dialog.h"
#include "launch/command_builder.h"

#include <string_view>
#include <vector>

class QLineEdit;
class QPushButton;

namespace korvane {

class OptionPairBox;
struct Services;

// KORVANE_CRYPTO_SETTINGS: the coin's node profile. Save composes the three command lines from the
// fields, the three option pairs and the conf location handed over at opening, and stores
// everything in one write of the profile, which the main window follows at once.
class CryptoSettingsWindow : public KorvaneDialog
{
    Q_OBJECT

public:
    // `confLocation` is the opener's location as it stands, whether or not it was confirmed there.
    CryptoSettingsWindow(Services& services,
                         LiveProfile& profile,
                         const QString& confLocation,
                         const NodeConventions& conventions,
                         QWidget* owner);

private:
    QLayout* buildFieldRows();
    QLayout* buildOptionPairs();
    QLayout* buildCommandRows();
    QLayout* buildClosingButtons();
    void save();
    void pickFolder(Key target, std::string_view prompt);
    void pickProgram(Key target, Key folder, std::string_view title);
    void openOutputCommands();
    QLineEdit* field(Key key) const;
    NodeProgramFields programFields() const;

    Services& m_services;
    const NodeConventions& m_conventions;
    const QString m_confLocation;
    KeyBindings m_values; // the fields, the option pairs' ticks, then the command lines
    std::vector<OptionPairBox*> m_optionPairs; // QT wallet, daemon wallet, CLI daemon
    QPushButton* m_cancel = nullptr;
};

} // namespace korvane
