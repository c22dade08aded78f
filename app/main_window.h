#pragma once

#include "platform/launcher.h"
#include "platform/services.h"
#include "settings/keys.h"
#include "settings/profile.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace korvane {

class Light;

// KORVANE_MAIN: the start-up window and the only one that is not modal. Its text boxes are the
// live copy of the profile while the program runs; the other windows read and write them, and
// find its controls by their object names.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindow(Services& services, QWidget* parent = nullptr);
    ~MainWindow() override;

    Services& services() const { return m_services; }
    Profile& profile() { return m_profile; }

    // The profile text box named after `key`: coin name, blockchain folder, the three program
    // names and the three command lines.
    QLineEdit* profileField(Key key) const;
    Light* processLight(int number) const; // 1 QT, 2 daemon, 3 CLI, 4 e-mail utility
    QCheckBox* autoUpdateFolderSizeTickBox() const { return m_autoUpdateFolderSize; }
    QTimer* folderSizeTimer() const { return m_folderSizeTimer; }

    // A one-line message in the window's status line; an empty text clears it.
    void showStatus(const QString& message);

public Q_SLOTS:
    void openSettings();
    void openTerminator();
    void openAbout();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    QLayout* buildHeader();
    QLayout* buildProfileBox();
    QLayout* buildLaunchBox();
    QLayout* buildFolderSizeBox();
    QLayout* buildHeartbeatRow();
    QLayout* buildFooter();
    QTimer* addTimer(const char* name, int intervalMs);
    void load();
    void saveOnUnload();
    void keepOnTop();
    void launch(Key commandKey, WindowStyle style);

    Services& m_services;
    Profile m_profile;

    std::vector<std::pair<Key, QLineEdit*>> m_profileFields;
    std::vector<Light*> m_processLights;
    QLineEdit* m_exeName = nullptr;
    QCheckBox* m_alwaysOnTop = nullptr;
    QCheckBox* m_autoUpdateFolderSize = nullptr;
    QLineEdit* m_heartbeatCountdown = nullptr;
    QPlainTextEdit* m_folderSizeSummary = nullptr;
    std::vector<QLabel*> m_kittLights;
    QLabel* m_status = nullptr;

    QTimer* m_alwaysOnTopTimer = nullptr;
    QTimer* m_folderSizeTimer = nullptr;
};

} // namespace korvane
