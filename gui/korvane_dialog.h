#pragma once

#include "base/result.h"
#include "settings/keys.h"

#include <QDialog>

class QBoxLayout;

namespace korvane {

class LiveProfile;
class StatusLine;

// Tells the user, before a window closes or the program ends, why the profile could not be stored.
void warnNotStored(QWidget& window, const std::string& reason);
// The later of two writes' failures, as the user should hear of it; done when both were.
Result<> laterFailure(const Result<>& earlier, const Result<>& later);

// Base of every secondary window: opens at its stored geometry and, however it is closed
// (its own buttons, the close box, Escape), stores its left and top, then runs unload().
// Owned by the window that opened it, and shown modally but where a window says otherwise.
class KorvaneDialog : public QDialog
{
    Q_OBJECT

public:
    KorvaneDialog(WindowId id, LiveProfile& profile, QWidget* owner);

    void done(int result) override;

protected:
    LiveProfile& profile() const { return m_profile; }
    // Work a window does when it closes, after its position has been stored; fails when something
    // could not be stored.
    virtual Result<> unload() { return {}; }

    // A line at the bottom of the window for what went wrong, in red; an empty text clears it.
    void addStatusLine(QBoxLayout* page);
    void showStatus(const QString& message);
    // Shows why the profile could not be stored, or clears the line; returns whether it was stored.
    bool stored(const Result<>& result);

private:
    WindowId m_id;
    LiveProfile& m_profile;
    StatusLine* m_status = nullptr;
};

} // namespace korvane
