#pragma once

#include "gui/key_bindings.h"
#include "gui/korvane_dialog.h"
#include "settings/node_conventions.h"

#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace korvane {

class ConfCheckLine;
class LiveProfile;
struct Services;

// KORVANE_MAIN_SETTINGS: chooses the ".conf" file that the command lines name (the generated one
// beside the program, or the user's own), switches the automatic folder-size refresh, chooses what
// the desktop does around the daemon (keep-awake, restarts, start at login) and whether the main
// window closes to the tray, and opens the node profile, conf generator and output commands
// windows. Every close stores its values.
class MainSettingsWindow : public KorvaneDialog
{
    Q_OBJECT

public:
    // The conventions name and join the node programs' paths: the operating system's own unless
    // a test asks for another's.
    MainSettingsWindow(Services& services,
                       LiveProfile& profile,
                       QWidget* owner,
                       const NodeConventions& conventions = nodeConventionsFor(nativeOperatingSystem()));

protected:
    Result<> unload() override;

private:
    void buildControls();
    QLayout* buildConfRows();
    QLayout* buildWindowButtons();
    QLayout* buildClosingButtons();
    QLayout* buildDesktopRow();
    QLayout* buildFolderSizeAndTrayRow();
    void switchStartAtLogin(bool ticked);
    void load();
    void switchConfMode(bool ownConf);
    void showConfMode(bool ownConf);
    void publishAutoUpdate(bool ticked);
    void pickConfFile();
    void openConfGenerator();
    void openCryptoSettings();
    void openOutputCommands();

    Services& m_services;
    const NodeConventions& m_conventions;
    const std::string m_generatedConf; // where the conf generator writes, beside the program
    QCheckBox* m_useOwnConf = nullptr;
    QLabel* m_confLabel = nullptr;
    QLineEdit* m_confLocation = nullptr;
    QPushButton* m_confBrowse = nullptr;
    QPushButton* m_confManager = nullptr;
    QCheckBox* m_autoUpdateFolderSize = nullptr;
    QComboBox* m_keepAwake = nullptr;
    QCheckBox* m_restartDaemon = nullptr;
    QCheckBox* m_startAtLogin = nullptr;
    QCheckBox* m_closeToTray = nullptr;
    KeyBindings m_values;
    ConfCheckLine* m_confCheck = nullptr;
};

} // namespace korvane
