// The lock-key lights and the heartbeat against a real X server (Xvfb in the test run), and
// without one.
#include "app/main_window.h"
#include "gui/light.h"
#include "platform/fake/fake_services.h"
#include "platform/linux/x11_keyboard.h"
#include "tests/platform/linux/posix_test_support.h"

#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QThreadPool>
#include <QTimer>
#include <gtest/gtest.h>
#include <optional>

namespace korvane {
namespace {

const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);

class LockKeysTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!m_keyboard.available())
            GTEST_SKIP() << "needs an X server";
        m_numWasOn = m_keyboard.isOn(LockKey::Num);
        m_capsWasOn = m_keyboard.isOn(LockKey::Caps);
    }

    // Puts back any lock state a test changed. The window's process watcher takes snapshots on a
    // worker thread: the last one ends before the fakes it reads go away.
    void TearDown() override
    {
        m_window.reset();
        QThreadPool::globalInstance()->waitForDone();
        if (!m_keyboard.available())
            return;
        if (m_keyboard.isOn(LockKey::Num) != m_numWasOn)
            m_keyboard.press(LockKey::Num);
        if (m_keyboard.isOn(LockKey::Caps) != m_capsWasOn)
            m_keyboard.press(LockKey::Caps);
    }

    MainWindow& open(Keyboard& keyboard)
    {
        m_services.emplace(Services { m_fakes.settings, m_fakes.ownExecutable, m_fakes.processes, m_fakes.launcher,
                                      m_fakes.folderSize, keyboard, m_fakes.stacking, m_fakes.fileDialogs,
                                      m_fakes.textFiles, m_fakes.programs });
        m_window = std::make_unique<MainWindow>(*m_services);
        m_window->show();
        return *m_window;
    }

    template <typename Widget> Widget* child(const char* name)
    {
        return m_window->findChild<Widget*>(QString::fromLatin1(name));
    }

    X11Keyboard m_keyboard;
    bool m_numWasOn = false;
    bool m_capsWasOn = false;

private:
    fake::Services m_fakes;
    std::optional<Services> m_services;
    std::unique_ptr<MainWindow> m_window;
};

TEST_F(LockKeysTest, DoubleClickOnCTogglesCapsLockAndTheLightFollowsWithinASecond)
{
    open(m_keyboard);
    auto* caps = child<Light>("VERT_CAPS_LIGHT_LABEL");
    QTRY_COMPARE_WITH_TIMEOUT(caps->colour(), m_capsWasOn ? kGreen : kRed, 1500);
    EXPECT_EQ(caps->toolTip(), m_capsWasOn ? "CAPS LOCK = ON" : "CAPS LOCK = OFF");

    QTest::mouseDClick(caps, Qt::LeftButton);
    EXPECT_NE(m_keyboard.isOn(LockKey::Caps), m_capsWasOn);
    QTRY_COMPARE_WITH_TIMEOUT(caps->colour(), m_capsWasOn ? kRed : kGreen, 1100);
    EXPECT_EQ(caps->toolTip(), m_capsWasOn ? "CAPS LOCK = OFF" : "CAPS LOCK = ON");
    EXPECT_EQ(child<Light>("VERT_NUM_LIGHT_LABEL")->colour(), m_numWasOn ? kGreen : kRed);
}

TEST_F(LockKeysTest, TheHeartbeatLeavesNumLockAsItWasEvenWhenStoppedBetweenItsPresses)
{
    open(m_keyboard);
    auto* button = child<QPushButton>("KITT_START_BUTTON");
    auto* indicator = child<QLabel>("KITT_BACKGROUND_LABEL");
    const auto indicatorColour = [&] { return indicator->palette().color(QPalette::Window); };

    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(indicatorColour(), kGreen, 2000);
    EXPECT_NE(m_keyboard.isOn(LockKey::Num), m_numWasOn);
    QTRY_COMPARE_WITH_TIMEOUT(indicatorColour(), kBlack, 2000);
    EXPECT_EQ(m_keyboard.isOn(LockKey::Num), m_numWasOn);
    QTest::mouseClick(button, Qt::LeftButton);

    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(indicatorColour(), kGreen, 2000);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(m_keyboard.isOn(LockKey::Num), m_numWasOn);
    EXPECT_EQ(indicatorColour(), kBlack);
}

TEST(LockKeysWithoutXServer, LightsAreGreyAndTheHeartbeatSaysNumLockCannotBePressed)
{
    test::ScopedEnvironment noDisplay("DISPLAY", std::nullopt);
    X11Keyboard keyboard;
    fake::Services fakes;
    Services services { fakes.settings, fakes.ownExecutable, fakes.processes,   fakes.launcher,  fakes.folderSize,
                        keyboard,       fakes.stacking,      fakes.fileDialogs, fakes.textFiles, fakes.programs };
    auto window = std::make_unique<MainWindow>(services);
    window->show();
    const auto waitForWatcher = qScopeGuard([&] {
        window.reset();
        QThreadPool::globalInstance()->waitForDone();
    });

    auto* num = window->findChild<Light*>(QStringLiteral("VERT_NUM_LIGHT_LABEL"));
    QTRY_COMPARE_WITH_TIMEOUT(num->colour(), QColor(160, 160, 160), 1500);
    for (const char* name : { "VERT_NUM_LIGHT_LABEL", "VERT_CAPS_LIGHT_LABEL", "VERT_SCROLL_LIGHT_LABEL" }) {
        auto* light = window->findChild<Light*>(QString::fromLatin1(name));
        EXPECT_EQ(light->colour(), num->colour()) << name;
        EXPECT_TRUE(light->toolTip().contains(QLatin1String("CANNOT BE READ"))) << name;
    }

    QTest::mouseDClick(num, Qt::LeftButton);
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("KITT_START_BUTTON")), Qt::LeftButton);
    auto* status = window->findChild<QLabel*>(QStringLiteral("STATUS_LABEL"));
    EXPECT_TRUE(status->isVisible());
    EXPECT_TRUE(status->text().contains(QLatin1String("Num Lock cannot be pressed"))) << status->text().toStdString();
    EXPECT_TRUE(window->findChild<QTimer*>(QStringLiteral("KITT_RED_TIMER"))->isActive());
}

} // namespace
} // namespace korvane
