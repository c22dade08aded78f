#include "platform/linux/atomic_text_file_writer.h"
#include "tests/conf/conf_test_support.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
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
    Services m_realFiles { m_fakes.settings,   m_fakes.ownExecutable, m_fakes.processes, m_fakes.launcher,
                           m_fakes.folderSize, m_fakes.keyboard,      m_fakes.stacking,  m_fakes.fileDialogs,
                           m_writer,           m_fakes.programs };
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

} // namespace
} // namespace korvane::test
