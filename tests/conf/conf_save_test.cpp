#include "platform/linux/atomic_text_file_writer.h"
#include "tests/conf/conf_test_support.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane::test {
namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The preview as the file holds it: lines ended by CR LF, and one more CR LF at the end.
QByteArray previewAsFile(const QWidget& generator)
{
    QString preview = text(generator, "CONF_OUTPUT_TEXTBOX");
    preview.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return (preview + QStringLiteral("\r\n")).toUtf8();
}

// Runs this test again in a child process as the unprivileged user "nobody", for whom folder
// permissions hold (they do not hold for root). Returns the child's exit code.
int rerunAsNobody()
{
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString filter = QStringLiteral("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name());
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    child.start(QStringLiteral("setpriv"),
                { QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"), QStringLiteral("--clear-groups"),
                  QCoreApplication::applicationFilePath(), filter });
    if (!child.waitForFinished(60000))
        return -1;
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
}

// The generator of a copy named "BTC" in a folder of its own, writing real files.
class ConfSaveTest : public ConfWindowsTest
{
protected:
    ConfSaveTest() { m_fakes.ownExecutable.executableFolder = m_folder.path().toStdString(); }

    QString confPath() const { return m_folder.filePath(QStringLiteral("BTC-CRYPTO-CONFIG.conf")); }

    QTemporaryDir m_folder;
    AtomicTextFileWriter m_writer;
    Services m_realFiles = m_fakes.services({ .textFiles = &m_writer });
};

TEST_F(ConfSaveTest, SaveStoresTheFieldsAndWritesWhatIsRenderedAtThatMoment)
{
    QWidget& generator = openGenerator(m_realFiles);
    QSignalSpy profileChanges(&m_profile, &LiveProfile::changed);
    type(generator, "CRYPTO_NAME_TEXTBOX", "BTC");
    tick(generator, "SERVER_TICKBOX");
    type(generator, "PEER_PORT_TEXTBOX", " ");
    click(generator, "SAVE_BUTTON");

    const QByteArray first = readFile(confPath());
    EXPECT_EQ(first, previewAsFile(generator));
    EXPECT_TRUE(first.startsWith("# - BTC - CONF FILE CREATED USING QUILLON - VORSELL - CONF-GENERATOR -\r\n"))
        << "typed just before SAVE";
    EXPECT_TRUE(first.contains("\r\nserver=1\r\n"));
    EXPECT_TRUE(first.contains("\r\nport= \r\n")) << "a blank is content";
    EXPECT_TRUE(first.endsWith("#rpcauth=\r\n\r\n\r\n\r\n\r\n"));
    struct stat info = {};
    ASSERT_EQ(::stat(confPath().toLocal8Bit().constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << "it holds the RPC password";

    EXPECT_EQ(stored("CRYPTO_NAME_TEXTBOX"), "BTC");
    EXPECT_EQ(stored("SERVER_TICKBOX"), "1");
    EXPECT_EQ(stored("PEER_PORT_TEXTBOX"), " ");
    EXPECT_NE(stored("MAIN-Left"), "<none>");
    EXPECT_TRUE(std::any_of(profileChanges.begin(), profileChanges.end(), [](const QList<QVariant>& change) {
        return change.at(0).value<Key>() == Key::CryptoName;
    })) << "the main window follows the crypto name through the profile";
    EXPECT_EQ(text(generator, "CANCEL_BUTTON"), "Close");

    type(generator, "PEER_PORT_TEXTBOX", "8333");
    click(generator, "SAVE_BUTTON");
    const QByteArray second = readFile(confPath());
    EXPECT_EQ(second, previewAsFile(generator));
    EXPECT_TRUE(second.contains("\r\nport=8333\r\n"));
    EXPECT_EQ(second.count("# - BTC"), 1) << "replaced, not appended";
    EXPECT_EQ(text(generator, "CANCEL_BUTTON"), "Close");
}

TEST_F(ConfSaveTest, AnUnwritableFolderIsReportedAndThePreviousFileKept)
{
    if (::geteuid() == 0) {
        EXPECT_EQ(rerunAsNobody(), 0);
        return;
    }
    QFile previous(confPath());
    ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
    previous.write("rpcuser=old\r\n");
    previous.close();
    ASSERT_EQ(::chmod(m_folder.path().toLocal8Bit().constData(), 0555), 0);

    QWidget& generator = openGenerator(m_realFiles);
    type(generator, "CRYPTO_NAME_TEXTBOX", "BTC");
    click(generator, "SAVE_BUTTON");
    ::chmod(m_folder.path().toLocal8Bit().constData(), 0755);

    auto* status = child<QLabel>(generator, "STATUS_LABEL");
    EXPECT_TRUE(status->isVisibleTo(&generator));
    EXPECT_TRUE(status->text().contains(confPath())) << status->text().toStdString();
    EXPECT_TRUE(status->text().contains(QStringLiteral("Permission denied"))) << status->text().toStdString();
    EXPECT_EQ(readFile(confPath()), "rpcuser=old\r\n");
    EXPECT_EQ(text(generator, "CANCEL_BUTTON"), "Cancel");
    EXPECT_EQ(text(generator, "CRYPTO_NAME_TEXTBOX"), "BTC");
    EXPECT_EQ(stored("CRYPTO_NAME_TEXTBOX"), "BTC") << "the profile is stored all the same";
}

// A conf with a second name (the node's own conf) is written in place, and the window says so.
TEST_F(ConfSaveTest, AConfWithOtherNamesStaysOneFileAndTheWindowSaysSo)
{
    const QString nodeConf = m_folder.filePath(QStringLiteral("bitcoin.conf"));
    QFile previous(confPath());
    ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
    previous.write("rpcuser=old\r\n");
    previous.close();
    ASSERT_EQ(::link(confPath().toLocal8Bit().constData(), nodeConf.toLocal8Bit().constData()), 0);

    QWidget& generator = openGenerator(m_realFiles);
    type(generator, "RPC_USER_TEXTBOX", "alice");
    click(generator, "SAVE_BUTTON");

    EXPECT_EQ(readFile(nodeConf), previewAsFile(generator));
    EXPECT_TRUE(readFile(nodeConf).contains("\r\nrpcuser=alice\r\n"));
    EXPECT_EQ(child<QLabel>(generator, "STATUS_LABEL")->text(),
              confPath() + QStringLiteral(" was written in place to keep its 2 names (hard links) one file"));
    EXPECT_EQ(text(generator, "CANCEL_BUTTON"), "Close");
}

// Loaded and pasted alike, a line break or NUL never reaches the file: the field keeps its value,
// the window says why, and what was stored stays.
TEST_F(ConfSaveTest, AOneLineFieldRefusesALineBreakOrNulWithAMessageAndTheFileStaysAsItWas)
{
    using namespace std::string_literals;
    EXPECT_TRUE(m_fakes.settings.saveSetting("QL_KORVANE", "BTC", "RPC_USER_TEXTBOX", "alice\0x"s));
    QWidget& generator = openGenerator(m_realFiles);
    auto* status = child<QLabel>(generator, "STATUS_LABEL");
    EXPECT_EQ(status->text(),
              QStringLiteral("RPC Username: a value holding a NUL character was refused, as this field "
                             "gives exactly one line of the .conf file; it keeps its value."));
    EXPECT_EQ(text(generator, "RPC_USER_TEXTBOX"), "");

    type(generator, "RPC_PASSWORD_TEXTBOX", "pw");
    click(generator, "SAVE_BUTTON");
    const QByteArray written = readFile(confPath());
    EXPECT_TRUE(written.contains("\r\n#rpcuser=\r\nrpcpassword=pw\r\n")) << written.toStdString();
    EXPECT_EQ(stored("RPC_USER_TEXTBOX"), "alice\0x"s) << "the stored value is kept";

    QGuiApplication::clipboard()->setText(QStringLiteral("\nrpcallowip=0.0.0.0/0"));
    QTest::keyClick(child<QLineEdit>(generator, "RPC_PASSWORD_TEXTBOX"), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(text(generator, "RPC_PASSWORD_TEXTBOX"), "pw");
    EXPECT_TRUE(
        status->text().startsWith(QStringLiteral("RPC Password: a value holding a line break (LF) was refused")))
        << status->text().toStdString();
    EXPECT_FALSE(text(generator, "CONF_OUTPUT_TEXTBOX").contains(QStringLiteral("0.0.0.0")));
    click(generator, "SAVE_BUTTON");
    EXPECT_EQ(readFile(confPath()), written);
    EXPECT_EQ(stored("RPC_PASSWORD_TEXTBOX"), "pw");
}

// Stored bytes that are not UTF-8 show as replacement characters but reach the file as they were.
TEST_F(ConfSaveTest, BytesThatAreNotUtf8ReachTheFileAsStored)
{
    EXPECT_TRUE(m_fakes.settings.saveSetting("QL_KORVANE", "BTC", "WALLET_FILE_TEXTBOX", "w\xE9.dat"));
    EXPECT_TRUE(m_fakes.settings.saveSetting("QL_KORVANE", "BTC", "RPC_PASSWORD_TEXTBOX", "p\xE9ss"));
    EXPECT_TRUE(
        m_fakes.settings.saveSetting("QL_KORVANE", "BTC", "USER_DEFINED_SETTINGS_TEXTBOX", "uacomment=\xE9\nlisten=1"));
    QWidget& generator = openGenerator(m_realFiles);
    type(generator, "CRYPTO_NAME_TEXTBOX", "BTC");
    click(generator, "SAVE_BUTTON");

    const QByteArray written = readFile(confPath());
    EXPECT_TRUE(written.contains("\r\nwallet=w\xE9.dat\r\n")) << written.toStdString();
    EXPECT_TRUE(written.contains("\r\nrpcpassword=p\xE9ss\r\n"));
    EXPECT_TRUE(written.contains("\r\nuacomment=\xE9\r\nlisten=1\r\n"));
    EXPECT_FALSE(written.contains("\xEF\xBF\xBD")) << "no replacement character";
    EXPECT_EQ(stored("WALLET_FILE_TEXTBOX"), "w\xE9.dat");
    EXPECT_EQ(text(generator, "CANCEL_BUTTON"), "Close");
}

} // namespace
} // namespace korvane::test
