#pragma once

#include "platform/fake/fake_desktop.h"
#include "platform/services.h"
#include "platform/shutdown_guard.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace korvane::fake {

class SettingsStore : public korvane::SettingsStore
{
public:
    std::string getSetting(std::string_view application,
                           std::string_view section,
                           std::string_view key,
                           std::string_view defaultValue) const override;
    Result<>
    saveSettings(std::string_view application, std::string_view section, std::span<const SettingValue> values) override;
    Result<> usable(std::string_view, std::string_view) const override;
    std::vector<std::string> sections(std::string_view application) const override;

    // Every value saved, in order, as "section/key=value".
    std::vector<std::string> saves;
    int writes = 0; // how many times the store was written
    bool failSaves = false;
    std::string problemText; // why usable() fails; usable while empty

private:
    std::map<std::string, std::string> m_values;
    // Each section by its lowered application and name: its name as first saved.
    std::map<std::pair<std::string, std::string>, std::string> m_sections;
};

class OwnExecutable : public korvane::OwnExecutable
{
public:
    std::string name() const override { return executableName; }
    std::string folder() const override { return executableFolder; }

    std::string executableName = "QL-KORVANE-V1";
    std::string executableFolder = "/opt/korvane";
};

// Safe to use from several threads: the process watcher asks it from its worker thread while a
// test changes what runs. Each fake process gets an id of its own.
class ProcessTable : public korvane::ProcessTable
{
public:
    ProcessQuery queryRunning(const std::vector<std::string>& names) override;
    TerminateResult terminateAll(std::string_view name) override;
    bool isRunning(ProcessId id) override;

    ProcessId start(const std::string& name); // one more running process of that name; its id
    void stop(ProcessId id); // that process ends by itself
    void stopAll(const std::string& name); // every process of that name ends by itself
    void setFailure(const std::string& reason); // when set, queries fail with this reason
    void setRefusal(const std::string& reason); // when set, every kill is refused with this reason
    std::vector<std::string> terminated() const; // names asked to terminate, in order
    int queries() const;

private:
    mutable std::mutex m_mutex;
    std::map<ProcessId, std::string> m_running; // each name in small letters
    ProcessId m_nextId = 1001;
    std::vector<std::string> m_terminated;
    std::string m_failure;
    std::string m_refusal;
    int m_queries = 0;
};

// Records each start and gives it the next id, counted up from `nextProcessId`.
class Launcher : public korvane::Launcher
{
public:
    using korvane::Launcher::start;
    LaunchResult start(std::string_view commandLine, const LaunchOptions& options) override;

    struct Start
    {
        std::string commandLine;
        WindowStyle style;
        std::string errorOutputFile;
    };
    std::vector<Start> starts;
    std::string failure; // when set, every start fails with this reason
    ProcessId nextProcessId = 5001;
};

// Answers from a table; unknown folders are not found. Safe to use from the scan's worker thread.
// While held, every scan waits until it is released or stopped.
class FolderSize : public korvane::FolderSize
{
public:
    FolderSizeResult measure(const std::string& folder, std::stop_token stop) override;

    void answer(const std::string& folder, const FolderSizeResult& result);
    void hold();
    void release();
    std::vector<std::string> measured() const; // the folders asked for, in order
    int stopped() const; // scans that were stopped while held

private:
    mutable std::mutex m_mutex;
    std::condition_variable_any m_released;
    std::map<std::string, FolderSizeResult> m_answers;
    std::vector<std::string> m_measured;
    bool m_held = false;
    int m_stopped = 0;
};

class Keyboard : public korvane::Keyboard
{
public:
    bool available() override { return reachable; }
    bool isOn(LockKey key) override { return reachable && on.count(key) != 0; }
    void press(LockKey key) override;

    bool reachable = true;
    std::set<LockKey> on;
    std::vector<LockKey> presses;
};

class WindowStacking : public korvane::WindowStacking
{
public:
    NativeWindow foregroundWindow() override { return foreground; }
    void setTopmost(NativeWindow window, bool topmost) override;

    NativeWindow foreground = 0;
    std::set<NativeWindow> topmost;
    std::vector<std::pair<NativeWindow, bool>> calls;
};

class FileDialogs : public korvane::FileDialogs
{
public:
    std::optional<std::string> pickFolder(NativeWindow owner, const std::string& prompt) override;
    std::optional<std::string> pickOpenFile(NativeWindow owner, const FileOpenRequest& request) override;

    // The answers the next pickers give, in order; an empty optional is a cancel.
    std::deque<std::optional<std::string>> nextAnswers;
    std::vector<std::string> folderPrompts;
    std::vector<FileOpenRequest> fileRequests;
};

class TextFileWriter : public korvane::TextFileWriter
{
public:
    Result<std::string> write(const std::string& path, const std::string& text, FilePermissions permissions) override;

    std::map<std::string, std::string> files;
    std::map<std::string, FilePermissions> permissions; // of each file's last write
    std::string failure;
};

class SystemMemory : public korvane::SystemMemory
{
public:
    std::optional<std::uint64_t> physicalBytes() const override { return bytes; }

    std::optional<std::uint64_t> bytes = std::uint64_t(16) << 30;
};

// Real services a test puts in place of the fakes.
struct Replacing
{
    korvane::ProcessTable* processes = nullptr;
    korvane::Launcher* launcher = nullptr;
    korvane::Keyboard* keyboard = nullptr;
    korvane::TextFileWriter* textFiles = nullptr;
    korvane::ProgramRunner* programs = nullptr;
    korvane::PortListeners* ports = nullptr;
};

// Catches nothing: a test ends the program its own way.
class EndSignals : public korvane::EndSignals
{
public:
    int catchEndSignals() override { return -1; }
    bool takeEndRequest() override { return false; }
};

// Answers at once unless told to wait; `problemText` makes every hold fail with that reason.
class ShutdownGuard : public korvane::ShutdownGuard
{
public:
    void hold(Answer answered) override;
    void release() override;
    bool held() const override { return m_held; }

    void answer(); // gives the answer that waits
    void requestShutdown() const { shutdownRequested(); }

    std::string problemText;
    bool answerLater = false;
    int holds = 0;
    int releases = 0;

private:
    Answer m_waiting;
    bool m_held = false;
};

// Answers every run with `answer` (a program that is not found, when unset). Safe to use from
// several threads. An answer that starts a fake process tells the runner its id with runStarted()
// and runEnded(), as a real runner does.
class ProgramRunner : public korvane::ProgramRunner
{
public:
    ProgramOutput run(const ProgramRun& request, std::stop_token stop) override;
    using korvane::ProgramRunner::runEnded;
    using korvane::ProgramRunner::runStarted;

    void setAnswer(std::function<ProgramOutput(const ProgramRun&, std::stop_token)> answer);
    std::vector<ProgramRun> runs() const; // in order

private:
    mutable std::mutex m_mutex;
    std::function<ProgramOutput(const ProgramRun&, std::stop_token)> m_answer;
    std::vector<ProgramRun> m_runs;
};

// Answers from what a test set: no listeners on any port, every file owned by the current user
// (1000), unless told otherwise. Safe to use from several threads.
class PortListeners : public korvane::PortListeners
{
public:
    Result<std::vector<PortListener>> listenersOn(std::uint16_t port) override;
    std::optional<std::uint32_t> fileOwner(const std::string& path) override;
    std::optional<std::uint32_t> currentUser() override;

    void setListeners(std::uint16_t port, std::vector<PortListener> listeners);
    void setFailure(const std::string& reason); // when set, listenersOn fails with this reason
    void setFileOwner(const std::string& path, std::optional<std::uint32_t> user); // empty: unknown
    void setCurrentUser(std::optional<std::uint32_t> user);
    std::vector<std::uint16_t> asked() const; // the ports asked about, in order

private:
    mutable std::mutex m_mutex;
    std::map<std::uint16_t, std::vector<PortListener>> m_listeners;
    std::map<std::string, std::optional<std::uint32_t>> m_owners;
    std::optional<std::uint32_t> m_user = 1000;
    std::string m_failure;
    std::vector<std::uint16_t> m_asked;
};

// One fake of every service.
struct Services
{
    SettingsStore settings;
    OwnExecutable ownExecutable;
    ProcessTable processes;
    Launcher launcher;
    FolderSize folderSize;
    Keyboard keyboard;
    WindowStacking stacking;
    FileDialogs fileDialogs;
    TextFileWriter textFiles;
    KeepAwake keepAwake;
    Notices notices;
    Autostart autostart;
    EndSignals endSignals;
    ProgramRunner programs;
    ShutdownGuard shutdownGuard;
    SystemTray tray;
    PortListeners ports;
    SystemMemory memory;

    korvane::Services services(Replacing real = {})
    {
        // clang-format off
        return { settings, ownExecutable, real.processes ? *real.processes : processes,
                 real.launcher ? *real.launcher : launcher, folderSize,
                 real.keyboard ? *real.keyboard : keyboard, stacking, fileDialogs,
                 real.textFiles ? *real.textFiles : textFiles, keepAwake, notices, autostart,
                 real.programs ? *real.programs : programs, shutdownGuard, tray,
                 real.ports ? *real.ports : ports, memory };
        // clang-format on
    }
};

} // namespace korvane::fake
