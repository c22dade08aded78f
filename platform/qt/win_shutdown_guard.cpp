#include "platform/qt/win_shutdown_guard.h"

#include "platform/win/win_shutdown_block.h"

#include <QCoreApplication>
#include <windows.h>

namespace korvane {

std::unique_ptr<ShutdownGuard> createShutdownGuard()
{
    return std::make_unique<WinShutdownGuard>();
}

WinShutdownGuard::WinShutdownGuard()
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

WinShutdownGuard::~WinShutdownGuard()
{
    release();
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

void WinShutdownGuard::hold(Answer answered)
{
    m_held = true;
    answered({});
}

void WinShutdownGuard::release()
{
    m_held = false;
    m_stopAsked = false;
    if (m_blocking)
        unblockShutdown(m_blocking);
    m_blocking = 0;
}

bool WinShutdownGuard::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result)
{
    if (!m_held || eventType != "windows_generic_MSG")
        return false;
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message != WM_QUERYENDSESSION)
        return false;
    // Every top-level window is asked; the first visible one shows the reason.
    if (!m_blocking && IsWindowVisible(msg->hwnd)) {
        const NativeWindow window = reinterpret_cast<NativeWindow>(msg->hwnd);
        if (blockShutdown(window, kShutdownBlockReason))
            m_blocking = window;
    }
    if (!m_stopAsked) {
        m_stopAsked = true;
        shutdownRequested();
    }
    *result = FALSE;
    return true;
}

} // namespace korvane
