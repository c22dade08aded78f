#include "gui/colours.h"
#include "platform/linux/linux_process_table.h"
#include "processes/terminator_window.h"
#include "tests/gui/driver.h"
#include "tests/processes/helper_programs.h"
#include "tests/processes/watched_main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace korvane {
namespace {

using test::ChildProcess;
using test::control;
using test::uniqueName;

constexpr const char* kKillButtons[]
    = { "QT_TERMINATE_BUTTON", "DAEMON_TERMINATE_BUTTON", "CLI_TERMINATE_BUTTON", "SENDEMAIL_TERMINATE_BUTTON" };
constexpr const char* kNameFields[]
    = { "QT_NAME_TEXTBOX", "DAEMON_NAME_TEXTBOX", "CLI_NAME_TEXTBOX", "PROCESS_TEXTBOX_4" };
constexpr int kMirrorWaitMs = 2500;

// A terminator window over a main window that watches this machine's processes.
class TerminatorWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        main.setName(Key::QtName, wallet);
        main.setName(Key::DaemonName, daemon);
    }

    // Opens the window once the main window's lights show what runs now.
    std::unique_ptr<TerminatorWindow> open()
    {
        EXPECT_TRUE(main.showsFreshSnapshot());
        auto window = main.terminator();
        window->show();
        return window;
    }

    static bool enabled(const TerminatorWindow& window, const char* name)
    {
        return control<QWidget>(window, name).isEnabled();
    }
    static QColor background(const TerminatorWindow& window, const char* nameField)
    {
        return control<QLineEdit>(window, nameField).palette().color(QPalette::Base);
    }
    static void setArmed(TerminatorWindow& window, bool armed)
    {
        auto& tickBox = control<QCheckBox>(window, "ENABLE_TERMINATOR_TICKBOX");
        if (tickBox.isChecked() != armed)
            QTest::mouseClick(&tickBox, Qt::LeftButton);
    }

    LinuxProcessTable table;
    test::HelperPrograms programs;
    test::WatchedMainWindow main { table };
    const std::string wallet = uniqueName("wallet-");
    const std::string daemon = uniqueName("noded-");
};

TEST_F(TerminatorWindowTest, OpensDisarmedWithEveryKillButtonAndNameFieldDisabled)
{
    ChildProcess walletRuns(programs.program(wallet));
    auto window = open();
    ASSERT_EQ(main.light(1).colour(), colours::kGreen);

    EXPECT_EQ(window->objectName(), "KORVANE_TERMINATOR_WINDOW");
    EXPECT_EQ(window->windowTitle(), "KORVANE - PROCESS TERMINATOR");
    EXPECT_EQ(control<QLineEdit>(*window, "QT_NAME_TEXTBOX").text().toStdString(), wallet);
    EXPECT_EQ(control<QLineEdit>(*window, "DAEMON_NAME_TEXTBOX").toolTip().toStdString(), daemon);
    EXPECT_EQ(control<QLineEdit>(*window, "PROCESS_TEXTBOX_4").text().toStdString(), emailUtilityName());
    QTest::qWait(1200);
    for (const char* name : kKillButtons)
        EXPECT_FALSE(enabled(*window, name)) << name;
    for (const char* name : kNameFields)
        EXPECT_FALSE(enabled(*window, name)) << name;
}

TEST_F(TerminatorWindowTest, ArmedRowsFollowTheLightsAndDisarmingKeepsTheButtonsButResetsTheColours)
{
    auto walletRuns = std::make_unique<ChildProcess>(programs.program(wallet));
    auto window = open();
    setArmed(*window, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return enabled(*window, "QT_TERMINATE_BUTTON"); }, kMirrorWaitMs));
    EXPECT_TRUE(enabled(*window, "QT_NAME_TEXTBOX"));
    EXPECT_EQ(background(*window, "QT_NAME_TEXTBOX"), colours::kGreen);
    EXPECT_EQ(background(*window, "DAEMON_NAME_TEXTBOX"), colours::kRed);
    EXPECT_FALSE(enabled(*window, "DAEMON_TERMINATE_BUTTON"));
    EXPECT_FALSE(enabled(*window, "SENDEMAIL_TERMINATE_BUTTON"));

    setArmed(*window, false);
    auto& field = control<QLineEdit>(*window, "QT_NAME_TEXTBOX");
    for (const char* name : kNameFields)
        EXPECT_EQ(background(*window, name), QApplication::palette(&field).color(QPalette::Base)) << name;

    walletRuns.reset();
    ASSERT_TRUE(main.showsFreshSnapshot());
    ASSERT_EQ(main.light(1).colour(), colours::kRed);
    QTest::qWait(1200);
    EXPECT_TRUE(enabled(*window, "QT_TERMINATE_BUTTON"));
    EXPECT_EQ(background(*window, "QT_NAME_TEXTBOX"), QApplication::palette(&field).color(QPalette::Base));
}

TEST_F(TerminatorWindowTest, TerminateEndsEveryProcessOfTheRowsNameAndNoOther)
{
    const auto program = programs.program(daemon);
    std::string nearName = daemon;
    nearName.back() = nearName.back() == '0' ? '1' : '0';
    ChildProcess first(program), second(program), third(program);
    ChildProcess survivor(programs.program(nearName));
    auto window = open();
    setArmed(*window, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return enabled(*window, "DAEMON_TERMINATE_BUTTON"); }, kMirrorWaitMs));

    QTest::mouseClick(&control<QPushButton>(*window, "DAEMON_TERMINATE_BUTTON"), Qt::LeftButton);
    EXPECT_TRUE(first.reapKilled());
    EXPECT_TRUE(second.reapKilled());
    EXPECT_TRUE(third.reapKilled());
    EXPECT_TRUE(survivor.alive());
    EXPECT_TRUE(control<QLabel>(*window, "TERMINATE_RESULT_LABEL").text().isEmpty());
}

TEST(TerminatorWindow, RefusedKillIsShownAndTheRowStaysGreen)
{
    fake::ProcessTable table;
    test::WatchedMainWindow main(table);
    main.setName(Key::CliName, "bitcoin-cli");
    table.start("bitcoin-cli");
    table.setRefusal("process 4242: Operation not permitted");
    ASSERT_TRUE(main.showsFreshSnapshot());
    auto opened = main.terminator();
    TerminatorWindow& window = *opened;
    window.show();
    QTest::mouseClick(test::child<QCheckBox>(window, "ENABLE_TERMINATOR_TICKBOX"), Qt::LeftButton);
    auto* kill = test::child<QPushButton>(window, "CLI_TERMINATE_BUTTON");
    ASSERT_TRUE(QTest::qWaitFor([&] { return kill->isEnabled(); }, kMirrorWaitMs));

    QTest::mouseClick(kill, Qt::LeftButton);
    EXPECT_EQ(table.terminated(), std::vector<std::string> { "bitcoin-cli" });
    EXPECT_EQ(test::text(window, "TERMINATE_RESULT_LABEL"),
              "bitcoin-cli NOT TERMINATED: process 4242: Operation not permitted");
    QTest::qWait(1200);
    EXPECT_TRUE(kill->isEnabled());
    EXPECT_EQ(control<QLineEdit>(window, "CLI_NAME_TEXTBOX").palette().color(QPalette::Base), colours::kGreen);
}

TEST(TerminatorWindow, OpensModallyFromTheMainWindowAndStoresItsPositionOnClose)
{
    fake::ProcessTable table;
    test::WatchedMainWindow main(table);
    QString opened;
    const bool acted
        = test::whileModal([&] { QTest::mouseClick(&main.control<QPushButton>("TERMINATOR_BUTTON"), Qt::LeftButton); },
                           [&](QWidget& modal) {
                               opened = modal.objectName();
                               test::click(modal, "OK_BUTTON");
                           });
    EXPECT_TRUE(acted);
    EXPECT_EQ(opened, "KORVANE_TERMINATOR_WINDOW");
    const auto& saves = main.fakes.settings.saves;
    EXPECT_TRUE(std::any_of(saves.begin(), saves.end(), [](const std::string& save) {
        return save.find("/TERMINATOR_WINDOW-Left=") != std::string::npos;
    }));
}

} // namespace
} // namespace korvane
