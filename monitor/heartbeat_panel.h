#pragma once

#include "monitor/heartbeat.h"
#include "monitor/scanner.h"

#include <QString>
#include <QWidget>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace korvane {

class Keyboard;
class LiveProfile;

// The heartbeat row: "START KITT" / "STOP KITT" switches the Num Lock heartbeat and the scanner
// lights on and off together. The countdown box starts from the profile's countdown and shows the
// time to the next beat, the indicator's background the beat, and the lights the scanner's step.
class HeartbeatPanel : public QWidget, private HeartbeatTimers
{
    Q_OBJECT

public:
    HeartbeatPanel(const LiveProfile& profile, Keyboard& keyboard, QWidget* parent);

    void startOrStop();

Q_SIGNALS:
    // A message for the window's status line.
    void statusMessage(const QString& message);

private:
    void buildControls(const QString& countdown);
    QWidget* buildScanner();
    void buildTimers();
    void setRunning(HeartbeatTimer timer, bool running) override;
    QTimer* timerOf(HeartbeatTimer timer) const;
    void fire(HeartbeatTimer timer);
    void stepScanner();
    void showCountdown();
    void showIndicator();
    void showScanner();

    Keyboard& m_keyboard;
    Heartbeat m_heartbeat;
    Scanner m_scanner;
    QPushButton* m_startStop = nullptr;
    QLineEdit* m_countdown = nullptr; // "hh:mm:ss"
    QLabel* m_indicator = nullptr; // flashes with each beat; holds the scanner lights
    std::array<QLabel*, kScannerLightCount> m_scannerLights {};
    std::array<int, kScannerLightCount> m_shownLit; // -1 until first shown, else 0 or 1
    QTimer* m_countdownTimer = nullptr;
    QTimer* m_firstPressTimer = nullptr;
    QTimer* m_secondPressTimer = nullptr;
    QTimer* m_scannerTimer = nullptr;
};

} // namespace korvane
