#include "app/main_window.h"
#include "platform/fake/fake_services.h"
#include "tests/gui/driver.h"
#include "tests/helpers/temporary_folder.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QThreadPool>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/statvfs.h>

namespace korvane {
namespace {

constexpr std::uint64_t kMebibyte = 1024 * 1024;

// A 64 MiB tmpfs on a fresh folder, unmounted and removed at the end whatever the test found.
class SmallFileSystem
{
public:
    SmallFileSystem()
    {
        if (::mount("tmpfs", m_folder.text().c_str(), "tmpfs", 0, "size=64m,mode=0700") == 0)
            m_mounted = true;
        else
            problem = std::strerror(errno);
    }
    ~SmallFileSystem()
    {
        if (m_mounted)
            ::umount2(m_folder.text().c_str(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    const test::TemporaryFolder& folder() const { return m_folder; }
    std::uint64_t freeBytes() const
    {
        struct statvfs figures
        {
        };
        EXPECT_EQ(::statvfs(m_folder.text().c_str(), &figures), 0);
        return std::uint64_t { figures.f_bavail } * figures.f_frsize;
    }

    std::string problem; // why it could not be mounted

private:
    test::TemporaryFolder m_folder;
    bool m_mounted = false;
};

// The free space that the folder-size box reads with each measurement is that of the blockchain
// folder's own file system, and the low-space warning follows the stored threshold.
TEST(FreeSpaceOfARealFileSystem, FollowsWhatIsWrittenAndWarnsBelowTheThreshold)
{
    SmallFileSystem fileSystem;
    if (!fileSystem.problem.empty())
        GTEST_SKIP() << "no tmpfs could be mounted (" << fileSystem.problem
                     << "); it needs root, or the tests run under `unshare -rm`";
    fake::Services fakes;
    Services services = fakes.services();
    const std::string home = fileSystem.folder().text();
    fakes.folderSize.answer(home, { FolderSizeOutcome::Measured, 16 * kMebibyte, 0, {} });
    auto window = std::make_unique<MainWindow>(services);
    EXPECT_TRUE(window->profile().setText(Key::BlockchainHome, QString::fromStdString(home)));
    EXPECT_TRUE(window->profile().setText(Key::LowSpaceGigabytes, QStringLiteral("0")));
    auto* measure = test::child<QPushButton>(*window, "FFS_RUN_1_BUTTON");
    const auto measured = [&] {
        QTest::mouseClick(measure, Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([measure] { return measure->isEnabled(); }));
        return test::child<QLabel>(*window, "FREE_SPACE_LABEL")->text();
    };
    EXPECT_EQ(measured(), "Free: 67.1 MB - growth: not enough samples yet");

    std::ofstream(fileSystem.folder().path() / "blk00000.dat", std::ios::binary)
        << std::string(16 * kMebibyte, 'b') << std::flush;
    EXPECT_NEAR(static_cast<double>(fileSystem.freeBytes()), 48.0 * kMebibyte, 4096);
    EXPECT_TRUE(window->profile().setText(Key::LowSpaceGigabytes, QStringLiteral("1")));
    EXPECT_EQ(measured(), "Free: 50.3 MB - growth: not enough samples yet");
    const QString warning
        = "Only 50.3 MB free for the blockchain, less than 1.0 GB; the node stops when the disk is full";
    EXPECT_EQ(fakes.notices.shown,
              std::vector<std::string> { "KORVANE - QL-KORVANE-V1: low disk space|" + warning.toStdString() });
    EXPECT_EQ(test::child<QLabel>(*window, "STATUS_LABEL")->text(), warning);

    window.reset();
    QThreadPool::globalInstance()->waitForDone();
}

} // namespace
} // namespace korvane
