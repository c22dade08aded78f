// Probe for scripts/measure-idle.sh: the GUI thread while the node status panel polls a real node.
//   node_poll_probe SECONDS DAEMON_COMMAND_LINE
// Runs the panel against the node that the command line names (it must be running) for SECONDS,
// with a 1 ms timer on the GUI thread, and prints "polls answered lateness_ms poll_lateness_ms":
// lateness is the most a tick came later than 1 ms after the one before, over the whole run and in
// the 50 ms from each poll to its answer being shown.
#include "gui/live_profile.h"
#include "node/node_status_panel.h"
#include "platform/fake/fake_services.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SECONDS DAEMON_COMMAND_LINE\n", argv[0]);
        return 2;
    }
    const int seconds = std::stoi(argv[1]);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    korvane::fake::Services fakes;
    korvane::LiveProfile profile(fakes.settings, fakes.ownExecutable);
    profile.setText(korvane::Key::CryptoName, QStringLiteral("LTC"));
    profile.setText(korvane::Key::DaemonCommand, QString::fromLocal8Bit(argv[2]));
    korvane::NodeStatusPanel panel(profile, nullptr);

    QElapsedTimer clock;
    qint64 lastTickNs = 0;
    qint64 latestNs = 0;
    qint64 latestNearPollNs = 0;
    qint64 pollWindowEndNs = -1;
    int polls = 0;
    int answered = 0;
    bool waitingForAnswer = false;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const qint64 lateness = now - lastTickNs - 1'000'000;
        latestNs = std::max(latestNs, lateness);
        if (now <= pollWindowEndNs)
            latestNearPollNs = std::max(latestNearPollNs, lateness);
        lastTickNs = now;
    });
    QObject::connect(panel.findChild<QTimer*>(QStringLiteral("NODE_STATUS_TIMER")), &QTimer::timeout, [&] {
        ++polls;
        waitingForAnswer = true;
        pollWindowEndNs = clock.nsecsElapsed() + 50'000'000;
    });
    QObject::connect(&panel, &korvane::NodeStatusPanel::shown, [&] {
        if (waitingForAnswer && panel.state() == korvane::NodeRpcState::Answering) {
            waitingForAnswer = false;
            ++answered;
        }
    });
    // Lateness counts from the first poll on: starting the event loop is not polling.
    QTimer::singleShot(0, [&] {
        panel.setDaemonRunning(true);
        clock.start();
        tick.start();
    });
    QTimer::singleShot(seconds * 1000, &application, &QCoreApplication::quit);
    application.exec();
    std::printf("%d %d %.3f %.3f\n", polls, answered, static_cast<double>(latestNs) / 1e6,
                static_cast<double>(latestNearPollNs) / 1e6);
    return answered > 0 ? 0 : 1;
}
