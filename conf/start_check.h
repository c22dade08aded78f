#pragma once

#include <functional>

class QWidget;

namespace korvane {

class LiveProfile;
class SettingsStore;

// Before START DAEMON: reads this copy's node and the other copies' off the GUI thread and, where
// one of them would stop when both run (a port on the same address, one data folder), names each
// such clash and asks whether to start anyway. `proceed` runs on the GUI thread when nothing clashes
// so or when the user starts anyway (at once where no other copy sets a node); not when the user
// cancels, nor once `owner` is gone.
void checkBeforeStart(QWidget& owner,
                      const LiveProfile& profile,
                      const SettingsStore& profiles,
                      std::function<void()> proceed);

} // namespace korvane
