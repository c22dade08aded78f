#pragma once

#include "conf/conf_model.h"
#include "gui/key_bindings.h"
#include "gui/korvane_dialog.h"

#include <vector>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace korvane {

// KORVANE_CONF_GENERATOR_TEST_RPC: ten publicly known RPC credentials for test set-ups. It opens
// with the generator's credentials, shows the preset whose user name they carry in green, and
// hands its three boxes back to the generator only on "USE CURRENT CREDENTIALS".
class RpcTestCredentialsWindow : public KorvaneDialog
{
    Q_OBJECT

public:
    RpcTestCredentialsWindow(LiveProfile& profile, ConfFields& generator, QWidget* owner);

private:
    QLayout* buildPresetButtons();
    QLayout* buildFields();
    QLayout* buildButtons();
    void choose(std::size_t preset);
    void highlight(const std::vector<bool>& selected);
    void useCurrent();

    ConfFields& m_generator;
    std::vector<QPushButton*> m_presets;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QPlainTextEdit* m_auth = nullptr;
    KeyBindings m_values; // the generator's user, password and auth
    QPushButton* m_cancel = nullptr;
};

} // namespace korvane
