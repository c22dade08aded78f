#include "app/main_settings_window.h"
#include "base/command_line_split.h"
#include "conf/coin_presets.h"
#include "conf/conf_check_panel.h"
#include "conf/start_check.h"
#include "platform/linux/linux_program_runner.h"
#include "tests/conf/conf_check_support.h"
#include "tests/conf/conf_test_support.h"
#include "tests/helpers/temporary_folder.h"
#include "tests/platform/linux/posix_test_support.h"

#include <QAccessible>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <sys/stat.h>

namespace korvane::test {
namespace {

constexpr const char* kLitecoind = "/usr/lib/litecoin/litecoind";

QStringList findings(const QWidget& generator)
{
    QStringList texts;
    auto* list = child<QListWidget>(generator, "CONF_CHECK_LIST");
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

QStringList keysOf(const QStringList& findings)
{
    QStringList keys;
    for (const QString& finding : findings)
        keys << finding.section(QStringLiteral(" — "), 0, 0);
    return keys;
}

QString shown(const QWidget& window, const char* labelName)
{
    return child<QLabel>(window, labelName)->text();
}

// The generator of a copy named "LTC" whose daemon command line names `daemon`, run for real, with
// the user's home a fresh folder that the test watches.
class ConfCheckWindowTest : public ConfWindowsTest
{
protected:
    void useDaemon(const std::string& daemon)
    {
        EXPECT_TRUE(m_profile.setText(
            Key::DaemonCommand, controls::fromStd(quotedArgument(daemon) + " -conf=\"/n/LTC.conf\" -datadir=\"/n\" ")));
    }

    // What BASIC SETTINGS and the LTC preset store.
    void storeBasicLitecoin()
    {
        ConfModel model;
        applyBasicSettings(model);
        applyCoinPreset(model, coinPresets()[2], {});
        for (Key key : confGeneratorKeys()) {
            if (keyInfo(key).kind == KeyKind::Tick)
                EXPECT_TRUE(m_profile.setTicked(key, model.ticked(key)));
            else
                EXPECT_TRUE(m_profile.setText(key, controls::fromStd(model.text(key))));
        }
    }

    TemporaryFolder m_home;
    ScopedEnvironment m_userHome { "HOME", m_home.text() };
    LinuxProgramRunner m_runner;
    Services m_realRuns = m_fakes.services({ .programs = &m_runner });
};

TEST_F(ConfCheckWindowTest, ListsWhatLitecoindIgnoresAndWhatStopsIt)
{
    if (!std::filesystem::exists(kLitecoind))
        GTEST_SKIP() << kLitecoind << " is not installed";
    useDaemon(kLitecoind);
    storeBasicLitecoin();
    QWidget& generator = openGenerator(m_realRuns);
    QTRY_COMPARE_WITH_TIMEOUT(shown(generator, "CONF_CHECK_DAEMON_LABEL"),
                              QStringLiteral("Checked against litecoind 0.21.2.1"), 10000);
    QTRY_COMPARE(keysOf(findings(generator)), QStringList({ "alerts", "allowip", "rpctimeout" }));
    EXPECT_EQ(findings(generator).front(),
              "alerts — litecoind 0.21.2.1 does not know this option; the node ignores the line");
    EXPECT_EQ(shown(generator, "CONF_CHECK_SUMMARY_LABEL"), "3 lines the node will ignore; nothing that stops it");
    // A screen reader reads the list and each finding as they stand on screen.
    auto* list = child<QListWidget>(generator, "CONF_CHECK_LIST");
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(list);
    EXPECT_EQ(reader->text(QAccessible::Name), "CONF CHECK");
    ASSERT_GE(reader->childCount(), 1);
    EXPECT_EQ(reader->child(0)->text(QAccessible::Name), findings(generator).front());

    QTest::keyClicks(child<QPlainTextEdit>(generator, "USER_DEFINED_SETTINGS_TEXTBOX"), QStringLiteral("regtest=1"));
    QTRY_COMPARE(keysOf(findings(generator)),
                 QStringList({ "wallet", "alerts", "allowip", "rpctimeout", "port", "rpcport" }));
    EXPECT_EQ(findings(generator).at(4),
              "port — the node refuses to start: on regtest it reads this option only in the [regtest] section");
    EXPECT_EQ(shown(generator, "CONF_CHECK_SUMMARY_LABEL"),
              "3 lines the node will ignore; 3 problems that stop it from starting");
    EXPECT_TRUE(std::filesystem::is_empty(m_home.path())) << "the user's home gains no file";
}

TEST_F(ConfCheckWindowTest, ADaemonThatHangsOnHelpTimesOutWhileTheWindowGoesOn)
{
    const TemporaryFolder programs;
    writeFile(programs.path() / "hangd", "#!/bin/sh\nexec sleep 60\n");
    ::chmod(programs.text("hangd").c_str(), 0755);
    useDaemon(programs.text("hangd"));
    QWidget& generator = openGenerator(m_realRuns);

    // The event loop's longest turn while the daemon is waited for.
    QElapsedTimer sinceLastTurn;
    qint64 longestTurn = 0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] { longestTurn = std::max(longestTurn, sinceLastTurn.restart()); });
    sinceLastTurn.start();
    probe.start(10);
    QTRY_VERIFY_WITH_TIMEOUT(shown(generator, "CONF_CHECK_DAEMON_LABEL").contains(QStringLiteral("timed out")), 10000);
    EXPECT_EQ(shown(generator, "CONF_CHECK_DAEMON_LABEL"),
              "Not checked against the daemon's options: hangd timed out: it gave no answer to -help within 5 s; "
              "only the form of the lines is checked");
    RecordProperty("longest_turn_ms", static_cast<int>(longestTurn));
    EXPECT_LT(longestTurn, 250) << "milliseconds";
    EXPECT_EQ(shown(generator, "CONF_CHECK_SUMMARY_LABEL"), "Nothing the node will ignore; nothing that stops it");
}

TEST_F(ConfCheckWindowTest, MainSettingsSayWhenTheConfWouldStopTheNode)
{
    const TemporaryFolder folder;
    writeFile(folder.path() / "own.conf", "regtest=1\r\nrpcport=19443\r\n");
    writeFile(folder.path() / "fine.conf", "server=1\r\n");
    EXPECT_TRUE(m_profile.setText(Key::ConfFileLocation, controls::fromStd(folder.text("own.conf"))));
    EXPECT_TRUE(m_profile.setTicked(Key::UseOwnConf, true));
    MainSettingsWindow settings(m_services, m_profile, nullptr);
    settings.show();
    auto* line = child<QLabel>(settings, "CONF_CHECK_STATUS_LABEL");
    QTRY_VERIFY(line->isVisible());
    EXPECT_TRUE(
        line->text().startsWith(QStringLiteral("This conf stops the node: rpcport — the node refuses to start")))
        << line->text().toStdString();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(line)->text(QAccessible::Name), line->text());

    child<QLineEdit>(settings, "CONF_FILE_LOCATION_TEXTBOX")->setText(controls::fromStd(folder.text("fine.conf")));
    QTRY_VERIFY(!line->isVisible());
}

// Another copy, "LTC2", whose node listens on the same P2P port; this copy's node and conf read as
// the generator renders them and as the main settings name them.
TEST_F(ConfCheckWindowTest, AnotherCopysNodeOnTheSamePortIsNamedInBothWindows)
{
    const TemporaryFolder nodes;
    const std::string otherConf = nodes.text("LTC2-CRYPTO-CONFIG.conf");
    writeFile(otherConf, "port=9333\r\nrpcport=9400\r\ndbcache=1500\r\n");
    for (const char* folder : { "own", "ltc2" })
        std::filesystem::create_directories(nodes.path() / folder);
    const std::string otherLine = "litecoind -datadir=" + nodes.text("ltc2") + " -conf=" + otherConf;
    ASSERT_TRUE(m_fakes.settings.saveSetting("QL_KORVANE", "LTC2", keyName(Key::DaemonCommand), otherLine));
    m_fakes.memory.bytes = std::uint64_t(2) << 30;
    EXPECT_TRUE(m_profile.setText(Key::DaemonCommand,
                                  controls::fromStd("litecoind -datadir=" + nodes.text("own") + " -dbcache=800")));
    storeBasicLitecoin(); // port=9333, rpcport=9332

    QWidget& generator = openGenerator();
    const QString clash = QStringLiteral("port 9333 — also the P2P port of profile LTC2's node (%1); the second to "
                                         "start stops")
                              .arg(controls::fromStd(otherConf));
    QTRY_VERIFY(findings(generator).contains(clash));
    EXPECT_TRUE(findings(generator).last().startsWith(
        QStringLiteral("dbcache — the database caches of the nodes that would run at once add up to 2300 MiB, 113 %")))
        << findings(generator).last().toStdString();
    EXPECT_EQ(shown(generator, "CONF_CHECK_SUMMARY_LABEL"),
              "Nothing the node will ignore; 1 warning; 1 problem that stops it from starting");
    EXPECT_TRUE(shown(generator, "CONF_CHECK_COPIES_LABEL")
                    .startsWith(QStringLiteral("Other copies' nodes:\nLTC2: Litecoin on main, P2P port 9333, RPC "
                                               "port 9400")));

    writeFile(nodes.text("own.conf"), basicLitecoinConf());
    EXPECT_TRUE(m_profile.setText(Key::ConfFileLocation, controls::fromStd(nodes.text("own.conf"))));
    EXPECT_TRUE(m_profile.setTicked(Key::UseOwnConf, true));
    MainSettingsWindow settings(m_services, m_profile, nullptr);
    settings.show();
    auto* line = child<QLabel>(settings, "CONF_CHECK_STATUS_LABEL");
    QTRY_VERIFY(line->isVisible());
    EXPECT_TRUE(line->text().startsWith(QStringLiteral("This conf stops the node: ") + clash))
        << line->text().toStdString();
    const auto& saves = m_fakes.settings.saves;
    EXPECT_EQ(
        std::count_if(saves.begin(), saves.end(), [](const std::string& save) { return save.starts_with("LTC2/"); }), 1)
        << "the other copy's profile is written only by the test";
}

TEST_F(ConfCheckWindowTest, StartingANodeThatWouldStopAnotherCopysAsksFirst)
{
    const TemporaryFolder nodes;
    for (const char* folder : { "own", "ltc2" })
        std::filesystem::create_directories(nodes.path() / folder);
    const std::string otherLine = "litecoind -datadir=" + nodes.text("ltc2") + " -rpcport=9400";
    ASSERT_TRUE(m_fakes.settings.saveSetting("QL_KORVANE", "LTC2", keyName(Key::DaemonCommand), otherLine));
    EXPECT_TRUE(m_profile.setText(Key::DaemonCommand, controls::fromStd("litecoind -datadir=" + nodes.text("own"))));
    QWidget owner;
    owner.show();
    int starts = 0;
    checkBeforeStart(owner, m_profile, m_fakes.settings, [&starts] { ++starts; });
    QMessageBox* question = nullptr;
    QTRY_VERIFY((question = owner.findChild<QMessageBox*>("START_CLASH_QUESTION")));
    EXPECT_TRUE(question->text().contains(QStringLiteral("port 9333 — also the P2P port of profile LTC2's node")))
        << question->text().toStdString();
    EXPECT_FALSE(question->text().contains(QStringLiteral("rpcport")));
    EXPECT_EQ(starts, 0);
    QTest::mouseClick(child<QPushButton>(*question, "START_ANYWAY_BUTTON"), Qt::LeftButton);
    EXPECT_EQ(starts, 1);

    EXPECT_TRUE(
        m_profile.setText(Key::DaemonCommand,
                          controls::fromStd("litecoind -datadir=" + nodes.text("own") + " -port=9500 -rpcport=9501")));
    checkBeforeStart(owner, m_profile, m_fakes.settings, [&starts] { ++starts; });
    QTRY_COMPARE(starts, 2);
}

} // namespace
} // namespace korvane::test
