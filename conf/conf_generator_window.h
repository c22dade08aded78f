#pragma once

#include "conf/conf_model.h"
#include "gui/key_bindings.h"
#include "gui/korvane_dialog.h"

#include <array>
#include <string>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace korvane {

class ConfCheckPanel;
struct Services;

// KORVANE_CONF_GENERATOR_MAIN: composes the coin's ".conf" file from tick boxes and fields. The
// preview follows once a second; SAVE stores every field and writes the file beside the program.
// The coin presets and RPC test credentials windows it opens write into its model, so every tick
// rule runs for them as for a click.
class ConfGeneratorWindow : public KorvaneDialog
{
    Q_OBJECT

public:
    // `confPath`: where SAVE writes the file, the generated one beside the program.
    ConfGeneratorWindow(Services& services, LiveProfile& profile, std::string confPath, QWidget* owner);
    ~ConfGeneratorWindow() override;

protected:
    Result<> unload() override;

private:
    QLayout* buildHeader();
    QLayout* buildTicks();
    QLayout* buildValueFields();
    QLayout* buildUserSettings();
    QLayout* buildOutput();
    QLayout* buildButtons();
    QLineEdit* addKeyPart(ConfOption option);
    QCheckBox* addTick(Key key, const QString& caption);
    QLineEdit* addField(Key key);
    QPlainTextEdit* addTextBox(Key key);
    void connectToModel();
    void load();
    void showModel();
    void showHeader();
    void refreshPreview();
    void save();
    void openCoinPresets();
    void openTestCredentials();

    Services& m_services;
    const std::string m_confPath;
    ConfModel m_model;
    KeyBindings m_bindings;
    std::array<QLineEdit*, kConfOptionCount> m_keyParts {};
    QLineEdit* m_header = nullptr;
    QPlainTextEdit* m_output = nullptr;
    QPushButton* m_cancel = nullptr;
    QTimer* m_outputTimer = nullptr;
    ConfCheckPanel* m_confCheck = nullptr;
};

} // namespace korvane
