#pragma once

#include "platform/native_window.h"
#include "platform/shutdown_guard.h"

#include <QAbstractNativeEventFilter>

namespace korvane {

// While held, answers Windows' WM_QUERYENDSESSION with "not yet", shows why beside the program
// (ShutdownBlockReasonCreate) and asks for the node's clean stop; the release, once the node's
// process has ended, lets Windows go on.
class WinShutdownGuard : public ShutdownGuard, public QAbstractNativeEventFilter
{
public:
    WinShutdownGuard(); // watches the application's window messages from now on
    ~WinShutdownGuard() override;

    void hold(Answer answered) override;
    void release() override;
    bool held() const override { return m_held; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    bool m_held = false;
    bool m_stopAsked = false;
    NativeWindow m_blocking = 0; // the window that shows the reason
};

} // namespace korvane
