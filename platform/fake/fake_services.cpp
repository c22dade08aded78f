#include "platform/fake/fake_services.h"

#include "base/ascii_case.h"

#include <algorithm>
#include <utility>

namespace korvane::fake {
namespace {

std::string entryName(std::string_view application, std::string_view section, std::string_view key)
{
    return asciiLowered(application) + '\n' + asciiLowered(section) + '\n' + asciiLowered(key);
}

std::optional<std::string> takeAnswer(std::deque<std::optional<std::string>>& answers)
{
    if (answers.empty())
        return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
}

// Whether a fake process (an id and its name in small letters) answers to `name`.
auto isNamed(std::string_view name)
{
    return [wanted = asciiLowered(name)](const std::pair<const ProcessId, std::string>& process) {
        return !wanted.empty() && process.second == wanted;
    };
}

} // namespace

std::string SettingsStore::getSetting(std::string_view application,
                                      std::string_view section,
                                      std::string_view key,
                                      std::string_view defaultValue) const
{
    const auto found = m_values.find(entryName(application, section, key));
    return found == m_values.end() ? std::string(defaultValue) : found->second;
}

Result<> SettingsStore::saveSettings(std::string_view application,
                                     std::string_view section,
                                     std::span<const SettingValue> values)
{
    if (failSaves)
        return Failure { "disk full" };
    ++writes;
    m_sections.try_emplace({ asciiLowered(application), asciiLowered(section) }, section);
    for (const auto& [key, value] : values) {
        m_values[entryName(application, section, key)] = value;
        saves.push_back(std::string(section) + '/' + key + '=' + value);
    }
    return {};
}

std::vector<std::string> SettingsStore::sections(std::string_view application) const
{
    std::vector<std::string> names;
    for (const auto& [place, name] : m_sections) {
        if (place.first == asciiLowered(application))
            names.push_back(name);
    }
    return names;
}

Result<> SettingsStore::usable(std::string_view, std::string_view) const
{
    if (!problemText.empty())
        return Failure { problemText };
    return {};
}

ProcessQuery ProcessTable::queryRunning(const std::vector<std::string>& names)
{
    const std::lock_guard lock(m_mutex);
    ++m_queries;
    if (!m_failure.empty())
        return Failure { m_failure };
    std::vector<std::vector<ProcessId>> running;
    for (const auto& name : names) {
        auto& ids = running.emplace_back();
        const auto named = isNamed(name);
        for (const auto& process : m_running) {
            if (named(process))
                ids.push_back(process.first);
        }
    }
    return running;
}

TerminateResult ProcessTable::terminateAll(std::string_view name)
{
    const std::lock_guard lock(m_mutex);
    m_terminated.emplace_back(name);
    TerminateResult result;
    if (name.empty())
        return result;
    if (!m_refusal.empty()) {
        const auto matching = std::count_if(m_running.begin(), m_running.end(), isNamed(name));
        result.refusals.assign(static_cast<std::size_t>(matching), m_refusal);
        return result;
    }
    result.killed = static_cast<int>(std::erase_if(m_running, isNamed(name)));
    return result;
}

bool ProcessTable::isRunning(ProcessId id)
{
    const std::lock_guard lock(m_mutex);
    return m_running.count(id) != 0;
}

ProcessId ProcessTable::start(const std::string& name)
{
    const std::lock_guard lock(m_mutex);
    const ProcessId id = m_nextId++;
    m_running.emplace(id, asciiLowered(name));
    return id;
}

void ProcessTable::stop(ProcessId id)
{
    const std::lock_guard lock(m_mutex);
    m_running.erase(id);
}

void ProcessTable::stopAll(const std::string& name)
{
    const std::lock_guard lock(m_mutex);
    std::erase_if(m_running, isNamed(name));
}

void ProcessTable::setFailure(const std::string& reason)
{
    const std::lock_guard lock(m_mutex);
    m_failure = reason;
}

void ProcessTable::setRefusal(const std::string& reason)
{
    const std::lock_guard lock(m_mutex);
    m_refusal = reason;
}

std::vector<std::string> ProcessTable::terminated() const
{
    const std::lock_guard lock(m_mutex);
    return m_terminated;
}

int ProcessTable::queries() const
{
    const std::lock_guard lock(m_mutex);
    return m_queries;
}

LaunchResult Launcher::start(std::string_view commandLine, const LaunchOptions& options)
{
    starts.push_back({ std::string(commandLine), options.style, options.errorOutputFile });
    if (!failure.empty())
        return notStarted(commandLine, failure);
    return Launched { std::string(commandLine), nextProcessId++ };
}

FolderSizeResult FolderSize::measure(const std::string& folder, std::stop_token stop)
{
    std::unique_lock lock(m_mutex);
    m_measured.push_back(folder);
    if (!m_released.wait(lock, stop, [this] { return !m_held; })) {
        ++m_stopped;
        return { FolderSizeOutcome::Stopped, 0, 0, "Stopped" };
    }
    const auto found = m_answers.find(folder);
    if (found != m_answers.end())
        return found->second;
    return { FolderSizeOutcome::NotFound, 0, 0, "No such file or directory" };
}

void FolderSize::answer(const std::string& folder, const FolderSizeResult& result)
{
    const std::lock_guard lock(m_mutex);
    m_answers[folder] = result;
}

void FolderSize::hold()
{
    const std::lock_guard lock(m_mutex);
    m_held = true;
}

void FolderSize::release()
{
    {
        const std::lock_guard lock(m_mutex);
        m_held = false;
    }
    m_released.notify_all();
}

std::vector<std::string> FolderSize::measured() const
{
    const std::lock_guard lock(m_mutex);
    return m_measured;
}

int FolderSize::stopped() const
{
    const std::lock_guard lock(m_mutex);
    return m_stopped;
}

void Keyboard::press(LockKey key)
{
    if (!reachable)
        return;
    presses.push_back(key);
    if (!on.erase(key))
        on.insert(key);
}

void WindowStacking::setTopmost(NativeWindow window, bool makeTopmost)
{
    calls.emplace_back(window, makeTopmost);
    if (makeTopmost)
        topmost.insert(window);
    else
        topmost.erase(window);
}

std::optional<std::string> FileDialogs::pickFolder(NativeWindow, const std::string& prompt)
{
    folderPrompts.push_back(prompt);
    return takeAnswer(nextAnswers);
}

std::optional<std::string> FileDialogs::pickOpenFile(NativeWindow, const FileOpenRequest& request)
{
    fileRequests.push_back(request);
    return takeAnswer(nextAnswers);
}

Result<std::string>
TextFileWriter::write(const std::string& path, const std::string& text, FilePermissions filePermissions)
{
    if (!failure.empty())
        return Failure { failure };
    files[path] = text;
    permissions[path] = filePermissions;
    return std::string();
}

void ShutdownGuard::hold(Answer answered)
{
    ++holds;
    m_waiting = std::move(answered);
    if (!answerLater)
        answer();
}

void ShutdownGuard::release()
{
    ++releases;
    m_held = false;
    m_waiting = nullptr;
}

void ShutdownGuard::answer()
{
    if (!m_waiting)
        return;
    m_held = problemText.empty();
    std::exchange(m_waiting, nullptr)(problemText);
}

ProgramOutput ProgramRunner::run(const ProgramRun& request, std::stop_token stop)
{
    std::function<ProgramOutput(const ProgramRun&, std::stop_token)> answer;
    {
        const std::lock_guard lock(m_mutex);
        m_runs.push_back(request);
        answer = m_answer;
    }
    if (answer)
        return answer(request, stop);
    ProgramOutput output;
    output.error = "No such file or directory";
    return output;
}

void ProgramRunner::setAnswer(std::function<ProgramOutput(const ProgramRun&, std::stop_token)> answer)
{
    const std::lock_guard lock(m_mutex);
    m_answer = std::move(answer);
}

std::vector<ProgramRun> ProgramRunner::runs() const
{
    const std::lock_guard lock(m_mutex);
    return m_runs;
}

Result<std::vector<PortListener>> PortListeners::listenersOn(std::uint16_t port)
{
    const std::lock_guard lock(m_mutex);
    m_asked.push_back(port);
    if (!m_failure.empty())
        return Failure { m_failure };
    const auto found = m_listeners.find(port);
    return found == m_listeners.end() ? std::vector<PortListener>() : found->second;
}

std::optional<std::uint32_t> PortListeners::fileOwner(const std::string& path)
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_owners.find(path);
    return found == m_owners.end() ? m_user : found->second;
}

std::optional<std::uint32_t> PortListeners::currentUser()
{
    const std::lock_guard lock(m_mutex);
    return m_user;
}

void PortListeners::setListeners(std::uint16_t port, std::vector<PortListener> listeners)
{
    const std::lock_guard lock(m_mutex);
    m_listeners[port] = std::move(listeners);
}

void PortListeners::setFailure(const std::string& reason)
{
    const std::lock_guard lock(m_mutex);
    m_failure = reason;
}

void PortListeners::setFileOwner(const std::string& path, std::optional<std::uint32_t> user)
{
    const std::lock_guard lock(m_mutex);
    m_owners[path] = user;
}

void PortListeners::setCurrentUser(std::optional<std::uint32_t> user)
{
    const std::lock_guard lock(m_mutex);
    m_user = user;
}

std::vector<std::uint16_t> PortListeners::asked() const
{
    const std::lock_guard lock(m_mutex);
    return m_asked;
}

} // namespace korvane::fake
