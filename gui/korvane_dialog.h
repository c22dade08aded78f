#pragma once

#include "settings/keys.h"

#include <QDialog>

namespace korvane {

class Profile;

// Base of every secondary window: opens at its stored geometry and, however it is closed
// (its own buttons, the close box, Escape), stores its left and top, then runs unload().
// Shown modally and owned by the window that opened it.
class KorvaneDialog : public QDialog
{
    Q_OBJECT

public:
    KorvaneDialog(WindowId id, Profile& profile, QWidget* owner);

    void done(int result) override;

protected:
    Profile& profile() const { return m_profile; }
    // Work a window does when it closes, after its position has been stored.
    virtual void unload() { }

private:
    WindowId m_id;
    Profile& m_profile;
};

} // namespace korvane
