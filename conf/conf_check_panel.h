#pragma once

#include "conf/conf_check.h"
#include "conf/copies_check.h"

#include <QWidget>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QListWidget;

namespace korvane {

class LiveProfile;
class SettingsStore;
class StatusLine;
struct Services;

// The daemon of the profile's daemon command line: the program and the words after it.
struct ProfileDaemon
{
    std::string program;
    std::vector<std::string> words;
};
ProfileDaemon profileDaemon(const LiveProfile& profile);

// This copy's node as its profile sets it, with the conf's text where it is given.
ThisCopy thisCopy(const LiveProfile& profile, std::optional<std::string> confText = std::nullopt);

// The other copies in the store, and where this user's nodes keep their folders on this machine.
// Reads the profiles, not the nodes' files.
Workstation thisWorkstation(const LiveProfile& profile, const SettingsStore& profiles);

// CONF_CHECK_PANEL: beside the conf generator's preview, what the node will make of the text: a
// line that names the daemon checked against, the summary, and one finding a line, those about the
// other copies' nodes and the memory they take last; below, a line on each other copy's node. The
// daemon's options are read once, off the GUI thread; until they are known, and if they cannot be,
// only the form of the lines is checked. The other copies are read again, off the GUI thread, for
// each new text once the options are known; their daemons are asked for their default cache.
class ConfCheckPanel : public QWidget
{
    Q_OBJECT

public:
    ConfCheckPanel(Services& services,
                   const LiveProfile& profile,
                   QWidget* parent,
                   std::chrono::milliseconds timeLimit = kDaemonHelpTimeLimit);

    // Checks a rendered conf text; cheap enough for every tick of the preview.
    void check(const std::string& confText);

private:
    void show();
    void showDaemon();
    void checkCopies();

    Services& m_services;
    const LiveProfile& m_profile;
    std::chrono::milliseconds m_timeLimit;
    ProfileDaemon m_daemon;
    DaemonOptions m_options;
    bool m_reading = true;
    std::optional<std::string> m_lastText;
    std::vector<ConfFinding> m_copies; // about the other copies' nodes, for the latest text checked
    int m_copiesGeneration = 0; // of the latest check of the copies: an earlier one that ends later is dropped
    ConfCheck m_shown;
    QLabel* m_daemonLine = nullptr;
    QLabel* m_summary = nullptr;
    QListWidget* m_findings = nullptr;
    QLabel* m_others = nullptr;
};

// CONF_CHECK_STATUS_LABEL: a red line, shown only while the conf file at a path, with the profile's
// daemon command line, would stop the node, by itself or beside another copy's node. It runs no
// program: the daemon's options count once the conf generator has read them, so that merely
// opening a window never starts the daemon's program (which may be a script that does more than
// print its help).
class ConfCheckLine : public QWidget
{
    Q_OBJECT

public:
    ConfCheckLine(const LiveProfile& profile, const SettingsStore& profiles, QWidget* parent);

    // Reads the file and checks it off the GUI thread; the line follows when that is done.
    void check(const QString& confPath);

private:
    const LiveProfile& m_profile;
    const SettingsStore& m_profiles;
    StatusLine* m_line = nullptr;
    int m_generation = 0; // of the latest check: an earlier one that ends later is dropped
};

} // namespace korvane
