#pragma once

#include "monitor/heartbeat.h"
#include "monitor/scanner.h"

#include <QObject>
#include <QString>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace korvane {

class Keyboard;

// The main window's controls of the heartbeat and the scanner lights.
struct HeartbeatControls
{
    QPushButton* startStop; // "START KITT" / "STOP KITT"
    QLineEdit* countdown; // "hh:mm:ss"
    QLabel* indicator; // flashes with each beat; holds the scanner lights
    std::array<QLabel*, kScannerLightCount> scannerLights;
    QTimer* countdownTimer;
    QTimer* firstPressTimer;
    QTimer* secondPressTimer;
    QTimer* scannerTimer;
};

// The start/stop button switches the Num Lock heartbeat and the scanner lights on and off
// together. The countdown box shows the time to the next beat, the indicator's background the
// beat, and the lights the scanner's step.
class HeartbeatPanel : public QObject, private HeartbeatTimers
{
    Q_OBJECT

public:
    HeartbeatPanel(const HeartbeatControls& controls, Keyboard& keyboard, QObject* parent);

    void startOrStop();

Q_SIGNALS:
    // A message for the window's status line.
    void statusMessage(const QString& message);

private:
    void setRunning(HeartbeatTimer timer, bool running) override;
    QTimer* timerOf(HeartbeatTimer timer) const;
    void fire(HeartbeatTimer timer);
    void stepScanner();
    void showCountdown();
    void showIndicator();
    void showScanner();

    HeartbeatControls m_controls;
    Keyboard& m_keyboard;
    Heartbeat m_heartbeat;
    Scanner m_scanner;
    std::array<int, kScannerLightCount> m_shownLit; // -1 until first shown, else 0 or 1
};

} // namespace korvane
