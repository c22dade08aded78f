// How long one process watcher tick holds up the GUI thread, with the machine's own processes and
// with 1,000 extra idle processes: the longest single turn of the event loop from the tick until its
// snapshot is on the lights, as the GUI thread's own processor time (gui_block_us, the worst over
// all ticks; wall-clock turns would also count the times the system runs another thread), beside the
// whole time from the tick to the shown answer (the benchmark's own time).
#include "app/main_window.h"
#include "benchmarks/idle_processes.h"
#include "platform/fake/fake_services.h"
#include "platform/linux/linux_process_table.h"
#include "processes/process_watcher.h"

#include <QApplication>
#include <QTimer>
#include <chrono>
#include <ctime>

namespace korvane {
namespace {

// Processor time this thread has used.
std::chrono::nanoseconds threadTime()
{
    timespec now {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

void guiThreadBlockPerTick(benchmark::State& state)
{
    const bench::IdleProcesses extra(state);
    fake::Services fakes;
    LinuxProcessTable table;
    Services services = fakes.services({ .processes = &table });
    MainWindow window(services);
    window.findChild<QTimer*>(QStringLiteral("MULTI_PROCESS_WATCHER_TIMER"))->stop();
    auto* watcher = window.findChild<ProcessWatcher*>();
    bool shown = false;
    QObject::connect(watcher, &ProcessWatcher::shown, watcher, [&] { shown = true; });

    std::chrono::nanoseconds longestTurn {};
    const auto timed = [&](auto work) {
        const auto start = threadTime();
        work();
        longestTurn = std::max(longestTurn, threadTime() - start);
    };
    for (auto _ : state) {
        shown = false;
        timed([&] { watcher->tick(); });
        while (!shown)
            timed([] { QCoreApplication::processEvents(QEventLoop::AllEvents); });
    }
    state.counters["gui_block_us"] = static_cast<double>(longestTurn.count()) / 1000.0;
}

} // namespace
} // namespace korvane

BENCHMARK(korvane::guiThreadBlockPerTick)->Arg(0)->Arg(1000)->Unit(benchmark::kMicrosecond);
