// Probe for scripts/measure-idle.sh: the GUI thread while the node's model polls a real node.
//   node_poll_probe SECONDS DAEMON_COMMAND_LINE
// Runs the model against the node that the command line names (it must be running) for SECONDS,
// with a 1 ms timer on the GUI thread, and prints "polls answered poll_max poll_median quiet_max
// quiet_median longest_max longest_median busy_max busy_median calls_per_minute state" (times in
// milliseconds; the state the node was last shown in, "synced" or "catching"): a window's
// lateness is the most a tick in it came later than 1 ms after the one before; poll windows are
// the 50 ms from each poll on (the call, its answer shown), quiet ones the 50 ms from 1 s after
// each poll, as long a time without one. The last four say what the GUI thread itself did in each
// poll window: its longest event, and all its events together. With KORVANE_PROBE_EVENTS set, each
// event of a poll window over 0.1 ms is listed on standard error, with its processor time. With
// KORVANE_PROBE_DETAILS set, the node details window is open throughout, each of its pages shown in
// turn for an equal share of the time, and the 1 ms timer does not run (it would cost more than what
// is measured): two last figures are then the program's processor use, as a percentage of one core,
// and the longest any event held the GUI thread, in milliseconds.
#include "details/node_details_window.h"
#include "gui/live_profile.h"
#include "node/node_model.h"
#include "platform/fake/fake_services.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr qint64 kWindowNs = 50'000'000;
constexpr qint64 kQuietOffsetNs = 1'000'000'000;

qint64 threadCpuNs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<qint64>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// Times every event the GUI thread handles (the outermost ones; nested ones count in theirs).
// Other threads' events pass through here too, untimed.
class TimedApplication : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (m_depth > 0 || QThread::currentThread() != thread())
            return QApplication::notify(receiver, event);
        ++m_depth;
        QElapsedTimer timer;
        timer.start();
        const qint64 cpuBefore = threadCpuNs();
        const bool handled = QApplication::notify(receiver, event);
        const qint64 spent = timer.nsecsElapsed();
        const qint64 cpu = threadCpuNs() - cpuBefore;
        --m_depth;
        if (onEvent)
            onEvent(receiver, event->type(), spent, cpu);
        return handled;
    }

    std::function<void(QObject*, QEvent::Type, qint64 wallNs, qint64 cpuNs)> onEvent;

private:
    int m_depth = 0;
};

double processorSeconds()
{
    rusage used {};
    getrusage(RUSAGE_SELF, &used);
    const auto seconds = [](const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; };
    return seconds(used.ru_utime) + seconds(used.ru_stime);
}

double milliseconds(qint64 ns)
{
    return static_cast<double>(ns) / 1e6;
}

// "max median" of the windows' lateness.
void printSpread(std::vector<qint64> windows)
{
    if (windows.empty()) {
        std::printf(" 0 0");
        return;
    }
    std::sort(windows.begin(), windows.end());
    std::printf(" %.3f %.3f", milliseconds(windows.back()), milliseconds(windows[windows.size() / 2]));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SECONDS DAEMON_COMMAND_LINE\n", argv[0]);
        return 2;
    }
    const int seconds = std::stoi(argv[1]);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TimedApplication application(argc, argv);
    korvane::fake::Services fakes;
    korvane::LiveProfile profile(fakes.settings, fakes.ownExecutable);
    profile.setText(korvane::Key::CryptoName, QStringLiteral("LTC"));
    profile.setText(korvane::Key::DaemonCommand, QString::fromLocal8Bit(argv[2]));
    const korvane::OsServices os = korvane::createOsServices();
    korvane::NodeModel model(profile, "PROBE", { fakes.launcher, fakes.programs, fakes.processes, *os.ports });

    QElapsedTimer clock;
    qint64 lastTickNs = 0;
    qint64 lastPollNs = -kQuietOffsetNs * 10;
    std::vector<qint64> pollWindows;
    std::vector<qint64> quietWindows;
    int polls = 0;
    int answered = 0;
    bool waitingForAnswer = false;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const qint64 lateness = now - lastTickNs - 1'000'000;
        lastTickNs = now;
        const qint64 sincePoll = now - lastPollNs;
        if (sincePoll <= kWindowNs)
            pollWindows.back() = std::max(pollWindows.back(), lateness);
        else if (sincePoll > kQuietOffsetNs && sincePoll <= kQuietOffsetNs + kWindowNs) {
            if (quietWindows.size() < pollWindows.size())
                quietWindows.push_back(0);
            quietWindows.back() = std::max(quietWindows.back(), lateness);
        }
    });
    // The GUI thread's own work in each poll window: its longest event and all its events together.
    std::vector<qint64> longestEvents;
    std::vector<qint64> busyTimes;
    const bool listEvents = qEnvironmentVariableIsSet("KORVANE_PROBE_EVENTS");
    qint64 longestEvent = 0;
    application.onEvent = [&](QObject* receiver, QEvent::Type type, qint64 spent, qint64 cpu) {
        longestEvent = std::max(longestEvent, spent);
        if (listEvents && spent > 5'000'000)
            std::fprintf(stderr, "long: %.3f ms (%.3f ms processor) %s %s event %d at %.3f s\n", milliseconds(spent),
                         milliseconds(cpu), receiver->metaObject()->className(), qPrintable(receiver->objectName()),
                         static_cast<int>(type), static_cast<double>(clock.elapsed()) / 1000.0);
        if (pollWindows.empty() || clock.nsecsElapsed() - lastPollNs > kWindowNs)
            return;
        longestEvents.back() = std::max(longestEvents.back(), spent);
        busyTimes.back() += spent;
        if (listEvents && spent > 100'000)
            std::fprintf(stderr, "%.3f ms (%.3f ms processor) %s %s event %d at %.3f s\n", milliseconds(spent),
                         milliseconds(cpu), receiver->metaObject()->className(), qPrintable(receiver->objectName()),
                         static_cast<int>(type), static_cast<double>(clock.elapsed()) / 1000.0);
    };
    QObject::connect(model.findChild<QTimer*>(QStringLiteral("NODE_STATUS_TIMER")), &QTimer::timeout, [&] {
        ++polls;
        waitingForAnswer = true;
        lastPollNs = clock.nsecsElapsed();
        pollWindows.push_back(0);
        longestEvents.push_back(0);
        busyTimes.push_back(0);
    });
    QObject::connect(&model, &korvane::NodeModel::pollEnded, [&](bool nodeAnswered) {
        if (waitingForAnswer && nodeAnswered) {
            waitingForAnswer = false;
            ++answered;
        }
    });
    // Lateness counts from the first poll on: starting the event loop is not polling. The watcher's
    // report that a daemon runs comes four times a second, as in the program.
    QTimer watcher;
    watcher.setInterval(250);
    QObject::connect(&watcher, &QTimer::timeout, [&] { model.setDaemonProcesses({ 1 }); });
    QTimer::singleShot(0, [&] {
        watcher.start();
        model.setDaemonProcesses({ 1 });
        clock.start();
        if (!qEnvironmentVariableIsSet("KORVANE_PROBE_DETAILS"))
            tick.start();
    });
    // The details window on every page in turn, where asked for.
    std::unique_ptr<korvane::NodeDetailsWindow> details;
    QTimer nextPage;
    if (qEnvironmentVariableIsSet("KORVANE_PROBE_DETAILS")) {
        details = std::make_unique<korvane::NodeDetailsWindow>(model, profile, nullptr);
        details->show();
        auto* pages = details->findChild<QTabWidget*>(QStringLiteral("NODE_DETAILS_PAGES"));
        nextPage.setInterval(seconds * 1000 / pages->count());
        QObject::connect(&nextPage, &QTimer::timeout,
                         [pages] { pages->setCurrentIndex((pages->currentIndex() + 1) % pages->count()); });
        nextPage.start();
    }
    const double processorBefore = processorSeconds();
    QTimer::singleShot(seconds * 1000, &application, &QCoreApplication::quit);
    application.exec();
    const double processorUsed = processorSeconds() - processorBefore;
    const bool detailsShown = details != nullptr;
    details.reset();
    // The model's work on the thread pool ends before the services it uses go.
    QThreadPool::globalInstance()->waitForDone();
    std::printf("%d %d", polls, answered);
    printSpread(pollWindows);
    printSpread(quietWindows);
    printSpread(longestEvents);
    printSpread(busyTimes);
    std::printf(" %.1f %s", model.callsMade() * 60.0 / seconds,
                model.snapshot().state == korvane::NodeState::Synced ? "synced" : "catching");
    if (detailsShown)
        std::printf(" %.2f %.3f", 100.0 * processorUsed / seconds, milliseconds(longestEvent));
    std::printf("\n");
    std::fflush(stdout);
    return answered > 0 ? 0 : 1;
}
