// Probe for scripts/measure-folder-size.sh.
//   tree DIR FOLDERS FILES   builds FOLDERS folders (groups of 100: a folder and 99 below it) of FILES
//                            files each, of apparent sizes 0 to 8190 bytes (sparse: nothing is written)
//   scan DIR                 measures DIR once with the folder-size service: "milliseconds bytes unreadable"
//   gui DIR SCANS            measures DIR SCANS times through the main window's button while a 1 ms
//                            timer runs on the GUI thread, then ticks as long again without a scan:
//                            "lateness_ms idle_lateness_ms scan_ms shown_lateness_ms" per scan, where
//                            lateness is the most a tick came later than 1 ms after the one before
//                            (shown: in the 20 ms after the result is shown, which the GUI thread does)
#include "app/main_window.h"
#include "platform/fake/fake_services.h"
#include "platform/linux/linux_folder_size.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using korvane::FolderSizeResult;

int buildTree(const fs::path& root, int folders, int filesPerFolder)
{
    constexpr int kGroup = 100;
    std::uint64_t fileNumber = 0;
    for (int folder = 0; folder < folders; ++folder) {
        const fs::path group = root / ("g" + std::to_string(folder / kGroup));
        const fs::path path = folder % kGroup == 0 ? group : group / ("d" + std::to_string(folder % kGroup));
        fs::create_directories(path);
        for (int file = 0; file < filesPerFolder; ++file, ++fileNumber) {
            const std::string name = (path / ("f" + std::to_string(file) + ".dat")).string();
            const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (fd < 0 || ::ftruncate(fd, static_cast<off_t>((fileNumber * 7919) % 8191)) != 0) {
                std::perror(name.c_str());
                return 1;
            }
            ::close(fd);
        }
    }
    return 0;
}

int scan(const std::string& folder)
{
    korvane::LinuxFolderSize folderSize;
    const auto start = std::chrono::steady_clock::now();
    const FolderSizeResult result = folderSize.measure(folder);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    std::printf("%.2f %llu %llu\n", took.count(), static_cast<unsigned long long>(result.bytes),
                static_cast<unsigned long long>(result.unreadableFolders));
    return result.measured() ? 0 : 1;
}

int scanThroughTheWindow(int argc, char** argv, const std::string& folder, int scans)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    korvane::fake::Services fakes;
    korvane::LinuxFolderSize folderSize;
    korvane::Services services = fakes.services();
    korvane::Services withRealScan {
        services.settings, services.ownExecutable, services.processes,   services.launcher,  folderSize,
        services.keyboard, services.stacking,      services.fileDialogs, services.textFiles, services.programs
    };
    korvane::MainWindow window(withRealScan);
    window.profile().setText(korvane::Key::BlockchainHome, QString::fromStdString(folder));
    auto* button = window.findChild<QPushButton*>(QStringLiteral("FFS_RUN_1_BUTTON"));
    auto* summary = window.findChild<QPlainTextEdit*>(QStringLiteral("BC_FOLDER_SIZE_BEFORE"));

    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QElapsedTimer clock;
    qint64 lastTickNs = 0;
    qint64 latestNs = 0; // before `done`
    qint64 latestAfterNs = 0; // in the 20 ms after it
    bool after = false;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        qint64& latest = after ? latestAfterNs : latestNs;
        latest = std::max(latest, now - lastTickNs - 1'000'000);
        lastTickNs = now;
    });
    // Ticks until `done` says so and 20 ms more; returns the largest lateness in milliseconds before
    // `done` and in the 20 ms after (where a scan's result is shown).
    const auto tickUntil = [&](const std::function<bool()>& done) {
        clock.start();
        lastTickNs = 0;
        latestNs = 0;
        latestAfterNs = 0;
        after = false;
        tick.start();
        while (!done())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        after = true;
        const qint64 endNs = clock.nsecsElapsed() + 20'000'000;
        while (clock.nsecsElapsed() < endNs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        tick.stop();
        return std::pair(static_cast<double>(latestNs) / 1e6, static_cast<double>(latestAfterNs) / 1e6);
    };
    for (int run = 0; run < scans; ++run) {
        summary->clear();
        QElapsedTimer scanClock;
        scanClock.start();
        button->click();
        qint64 scanNs = 0;
        const auto [duringScan, whileShown] = tickUntil([&] {
            if (summary->toPlainText().isEmpty())
                return false;
            scanNs = scanClock.nsecsElapsed();
            return true;
        });
        // The same time again without a scan: what the machine itself adds.
        QElapsedTimer idleClock;
        idleClock.start();
        const double withoutScan = tickUntil([&] { return idleClock.nsecsElapsed() >= scanNs; }).first;
        std::printf("%.3f %.3f %.1f %.3f\n", duringScan, withoutScan, static_cast<double>(scanNs) / 1e6, whileShown);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 2 ? argv[1] : "";
    if (mode == "tree" && argc == 5)
        return buildTree(argv[2], std::stoi(argv[3]), std::stoi(argv[4]));
    if (mode == "scan" && argc == 3)
        return scan(argv[2]);
    if (mode == "gui" && argc == 4)
        return scanThroughTheWindow(argc, argv, argv[2], std::stoi(argv[3]));
    std::fprintf(stderr, "usage: %s tree DIR FOLDERS FILES | scan DIR | gui DIR SCANS\n", argv[0]);
    return 2;
}
