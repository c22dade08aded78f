#include "app/main_window.h"
#include "platform/fake/fake_services.h"
#include "tests/gui/driver.h"
#include "tests/gui/expected.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QThreadPool>
#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace korvane {
namespace {

using namespace test::seen;
using test::accessibleName;
using test::child;

// The scanner lights as text, left to right: '#' red, '.' black, '?' anything else.
QString scannerLights(const QWidget& window)
{
    QString text;
    for (int i = 1; i <= 7; ++i) {
        const QColor colour
            = child<QLabel>(window, QStringLiteral("KITT_LABEL_%1").arg(i))->palette().color(QPalette::Window);
        text += colour == kRed ? QLatin1Char('#') : colour == kBlack ? QLatin1Char('.') : QLatin1Char('?');
    }
    return text;
}

// The main window on fake services. Its process watcher takes snapshots on a worker thread; the
// last one must end before the fakes it reads go away.
class HeartbeatPanelTest : public ::testing::Test
{
protected:
    ~HeartbeatPanelTest() override
    {
        m_window.reset();
        QThreadPool::globalInstance()->waitForDone();
    }

    MainWindow& open()
    {
        m_window = std::make_unique<MainWindow>(services);
        m_window->show();
        return *m_window;
    }

    fake::Services fakes;
    Services services = fakes.services();
    std::unique_ptr<MainWindow> m_window;
};

TEST_F(HeartbeatPanelTest, KittButtonRunsHeartbeatAndScannerTogetherAndIsReadByItsCaption)
{
    ASSERT_TRUE(fakes.settings.saveSetting("QL_KORVANE", fakes.ownExecutable.name(), "HEARTBEAT_COUNTDOWN_TIME_TEXTBOX",
                                           "soon"));
    MainWindow& window = open();
    auto* button = child<QPushButton>(window, "KITT_START_BUTTON");
    auto* countdown = child<QLineEdit>(window, "HEARTBEAT_COUNTDOWN_TIME_TEXTBOX");
    auto* indicator = child<QLabel>(window, "KITT_BACKGROUND_LABEL");
    const auto timer = [&](const char* name) { return child<QTimer>(window, name); };
    ASSERT_TRUE(button && countdown && indicator);
    EXPECT_EQ(accessibleName(button), "START KITT");
    EXPECT_EQ(countdown->text(), "soon");
    EXPECT_EQ(scannerLights(window), "#######");
    EXPECT_EQ(indicator->palette().color(QPalette::Window), kBlack);

    QElapsedTimer sinceStart;
    sinceStart.start();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(button->text(), "STOP KITT");
    EXPECT_EQ(accessibleName(button), "STOP KITT");
    EXPECT_EQ(countdown->text(), "00:05:00"); // not a time: five minutes
    for (const char* name : { "HEARTBEAT_TIMER", "NUMLOCK_TIMER_1", "KITT_RED_TIMER" })
        EXPECT_TRUE(timer(name)->isActive()) << name;

    QTRY_VERIFY_WITH_TIMEOUT(!fakes.keyboard.presses.empty(), 2000);
    EXPECT_GE(sinceStart.elapsed(), 700);
    EXPECT_EQ(indicator->palette().color(QPalette::Window), kGreen);
    QTRY_COMPARE_WITH_TIMEOUT(fakes.keyboard.presses.size(), 2U, 2000);
    EXPECT_TRUE(fakes.keyboard.on.empty());
    EXPECT_EQ(indicator->palette().color(QPalette::Window), kBlack);
    EXPECT_EQ(countdown->text(), "00:04:59");
    QTRY_COMPARE_WITH_TIMEOUT(scannerLights(window).count(QLatin1Char('#')), 1, 2000);

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(accessibleName(button), "START KITT");
    EXPECT_TRUE(button->accessibleName().isEmpty());
    EXPECT_EQ(scannerLights(window), "#######");
    for (const char* name : { "HEARTBEAT_TIMER", "NUMLOCK_TIMER_1", "NUMLOCK_TIMER_2", "KITT_RED_TIMER" })
        EXPECT_FALSE(timer(name)->isActive()) << name;
    EXPECT_EQ(countdown->text(), "00:04:59"); // a later start goes on from here
}

TEST_F(HeartbeatPanelTest, AScannerStepThatComesLateIsNeitherLostNorDoubled)
{
    MainWindow& window = open();
    QTest::mouseClick(child<QPushButton>(window, "KITT_START_BUTTON"), Qt::LeftButton);

    // The window is busy for longer than a step, three times over.
    for (const char* expected : { "#######", ".######", "..#####" }) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        QCoreApplication::processEvents();
        EXPECT_EQ(scannerLights(window), expected);
    }
}

} // namespace
} // namespace korvane
