#include "app/main_window.h"
#include "platform/fake/fake_services.h"
#include "tests/gui/driver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QThreadPool>
#include <QTimer>
#include <gtest/gtest.h>

namespace korvane {
namespace {

const QString kExampleSummary
    = QStringLiteral("1,234,567,890 B  \n1,234,567.89 KB\n1,234.568 MB\n1.235 GB\n0.001235 TB\n0.000001235 PB");

// The main window's folder size box, measuring through a fake service, with English separators.
class FolderSizePanelTest : public ::testing::Test
{
protected:
    FolderSizePanelTest()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        m_fakes.folderSize.answer("/srv/btc", { FolderSizeOutcome::Measured, 1'234'567'890, 0, {} });
        m_window = std::make_unique<MainWindow>(m_services);
        EXPECT_TRUE(m_window->profile().setText(Key::BlockchainHome, QStringLiteral("/srv/btc")));
    }
    ~FolderSizePanelTest() override
    {
        m_fakes.folderSize.release();
        m_window.reset();
        QThreadPool::globalInstance()->waitForDone();
        QLocale::setDefault(QLocale::system());
    }

    template <typename Widget = QWidget> Widget* child(const char* name)
    {
        return test::child<Widget>(*m_window, name);
    }
    QPushButton* button() { return child<QPushButton>("FFS_RUN_1_BUTTON"); }
    QString summary() { return child<QPlainTextEdit>("BC_FOLDER_SIZE_BEFORE")->toPlainText(); }
    std::size_t scans() { return m_fakes.folderSize.measured().size(); }

    fake::Services m_fakes;
    Services m_services = m_fakes.services();
    std::unique_ptr<MainWindow> m_window;
};

TEST_F(FolderSizePanelTest, TheTimerMeasuresOnceAtATimeWithTheButtonDisabledMeanwhile)
{
    m_fakes.folderSize.hold();
    auto* timer = child<QTimer>("BC_FOLDERSIZE_TIMER");
    EXPECT_EQ(timer->interval(), 60000);
    timer->start(1);
    QTRY_COMPARE(scans(), 1u);
    EXPECT_FALSE(button()->isEnabled());
    QTest::qWait(50); // ticks while the scan runs start no other
    timer->stop();
    EXPECT_EQ(scans(), 1u);
    EXPECT_TRUE(summary().isEmpty());

    m_fakes.folderSize.release();
    QTRY_VERIFY(button()->isEnabled());
    EXPECT_EQ(summary(), kExampleSummary);
}

TEST_F(FolderSizePanelTest, TheButtonShowsAFailureOrAPartialTotalAndComesBack)
{
    QTest::mouseClick(button(), Qt::LeftButton);
    QTRY_VERIFY(button()->isEnabled());
    ASSERT_EQ(summary(), kExampleSummary);

    EXPECT_TRUE(m_window->profile().setText(Key::BlockchainHome, QStringLiteral("/srv/gone")));
    QTest::mouseClick(button(), Qt::LeftButton);
    QTRY_VERIFY(button()->isEnabled());
    EXPECT_EQ(summary(), "FOLDER NOT FOUND: /srv/gone");

    m_fakes.folderSize.answer("/srv/gone", { FolderSizeOutcome::Measured, 1'234'567'890, 3, "" });
    QTest::mouseClick(button(), Qt::LeftButton);
    QTRY_VERIFY(button()->isEnabled());
    EXPECT_EQ(summary(), kExampleSummary + "\nPARTIAL: 3 folders\ncould not be read");
    EXPECT_EQ(scans(), 3u);
}

TEST_F(FolderSizePanelTest, FreeSpaceShowsBesideTheSizeAndLowSpaceIsSaidOnce)
{
    const QString folder = QDir::tempPath(); // a file system whose free space can be read
    m_fakes.folderSize.answer(folder.toStdString(), { FolderSizeOutcome::Measured, 1'000, 0, {} });
    EXPECT_TRUE(m_window->profile().setText(Key::BlockchainHome, folder));
    EXPECT_TRUE(m_window->profile().setText(Key::LowSpaceGigabytes, QStringLiteral("1000000")));
    const auto measureTwice = [this] {
        for (int measurement = 0; measurement < 2; ++measurement) {
            QTest::mouseClick(button(), Qt::LeftButton);
            QTRY_VERIFY(button()->isEnabled());
        }
    };
    measureTwice();
    EXPECT_TRUE(child<QLabel>("FREE_SPACE_LABEL")->text().startsWith(QLatin1String("Free: ")));
    EXPECT_TRUE(child<QLabel>("FREE_SPACE_LABEL")->text().endsWith(QLatin1String("growth: not enough samples yet")));
    ASSERT_EQ(m_fakes.notices.shown.size(), 1u) << "said once while it stays low";
    EXPECT_NE(m_fakes.notices.shown[0].find("low disk space|Only "), std::string::npos) << m_fakes.notices.shown[0];

    // A threshold that is no number of gigabytes is said once in the status line, not taken.
    EXPECT_TRUE(m_window->profile().setText(Key::LowSpaceGigabytes, QStringLiteral("abc")));
    auto* status = child<QLabel>("STATUS_LABEL");
    status->clear();
    measureTwice();
    EXPECT_TRUE(status->text().startsWith(QLatin1String("LOW_SPACE_GB_TEXTBOX in the profile is \"abc\"")))
        << status->text().toStdString();
    status->clear();
    measureTwice();
    EXPECT_EQ(status->text(), QString());
}

TEST_F(FolderSizePanelTest, ClosingTheProgramDuringALongScanStopsItAtOnce)
{
    m_fakes.folderSize.hold();
    QTest::mouseClick(button(), Qt::LeftButton);
    QTRY_COMPARE(scans(), 1u);

    QElapsedTimer closing;
    closing.start();
    m_window->close();
    m_window.reset();
    EXPECT_TRUE(QThreadPool::globalInstance()->waitForDone(1000));
    EXPECT_LT(closing.elapsed(), 1000);
    EXPECT_EQ(m_fakes.folderSize.stopped(), 1);
}

} // namespace
} // namespace korvane
