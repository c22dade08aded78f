#include "app/main_window.h"
#include "gui/live_profile.h"
#include "info/about_window.h"
#include "info/donations_window.h"
#include "info/maker_details_config.h"
#include "platform/fake/fake_services.h"
#include "tests/gui/driver.h"
#include "tests/gui/expected.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QFrame>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace korvane {
namespace {

using namespace test::seen;
using test::child;

const QColor kPink { 255, 128, 255 };
const QColor kLightYellow { 255, 255, 192 };
const std::vector<QColor> kFlashOrder { kGreen, kRed, kCyan, kMagenta, kYellow };

QColor textColour(const QWidget& window, const char* name)
{
    return child(window, name)->palette().color(QPalette::Text);
}

QColor backColour(const QWidget& window, const char* name)
{
    return child(window, name)->palette().color(QPalette::Base);
}

// The colour `colourNow` reads after each of the next `ticks` ticks of the window's flash timer.
std::vector<QColor>
flashed(const QWidget& window, const char* timerName, const std::function<QColor()>& colourNow, std::size_t ticks)
{
    auto* timer = child<QTimer>(window, timerName);
    EXPECT_EQ(timer->interval(), 200);
    std::vector<QColor> seen;
    QObject listener;
    QObject::connect(timer, &QTimer::timeout, &listener, [&] { seen.push_back(colourNow()); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen.size() >= ticks; }, 3000));
    return seen;
}

std::vector<QColor> thanksFlashes(const QWidget& donations, std::size_t ticks)
{
    return flashed(
        donations, "DONATION_TEXT_TIMER", [&] { return textColour(donations, "THANKS_DONATIONS_MESSAGE_TEXTBOX"); },
        ticks);
}

std::vector<QColor> withFirstAgain(std::vector<QColor> colours)
{
    colours.push_back(colours.front());
    return colours;
}

void doubleClick(const QWidget& window, const char* name)
{
    QTest::mouseDClick(child(window, name), Qt::LeftButton);
}

MakerDetails testDetails()
{
    return { { { { "BTC", "test-btc-address" },
                 { "NMC", "test-nmc-address" },
                 { "LTC", "" },
                 { "DASH", "test-dash-address" },
                 { "VTC", "test-vtc-address" } } },
             "https://test.invalid" };
}

class InfoWindowsTest : public ::testing::Test
{
protected:
    InfoWindowsTest() { m_fakes.ownExecutable.executableName = "BTC"; }

    std::string stored(const std::string& key) const
    {
        return m_fakes.settings.getSetting("QL_KORVANE", "BTC", key, "<none>");
    }

    void showActive(QWidget& window)
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    fake::Services m_fakes;
    LiveProfile m_profile { m_fakes.settings, m_fakes.ownExecutable };
};

TEST_F(InfoWindowsTest, BothWindowsFlashGreenRedCyanMagentaYellowFor200MillisecondsEach)
{
    QElapsedTimer clock;
    clock.start();
    AboutWindow about(m_profile, nullptr);
    about.show();
    const auto frame = [&] { return child(about, "DONATIONS_BACK_TEXTBOX")->palette().color(QPalette::Window); };
    EXPECT_EQ(flashed(about, "DONATION_BUTTON_TIMER", frame, 6), withFirstAgain(kFlashOrder));
    EXPECT_GE(clock.elapsed(), 1100) << "six colours, 200 ms apart (timers may fire 5% early)";
    about.reject();

    DonationsWindow donations(m_profile, nullptr);
    EXPECT_EQ(textColour(donations, "THANKS_DONATIONS_MESSAGE_TEXTBOX"), kBlack) << "before the first tick";
    EXPECT_EQ(backColour(donations, "THANKS_DONATIONS_MESSAGE_TEXTBOX"), QColor(128, 255, 128));
    donations.show();
    EXPECT_EQ(thanksFlashes(donations, 6), withFirstAgain(kFlashOrder));
}

TEST_F(InfoWindowsTest, DoubleClickOnTheThanksTextStopsItBlackAndRestartsItWithGreen)
{
    DonationsWindow donations(m_profile, nullptr);
    donations.show();
    thanksFlashes(donations, 2);

    doubleClick(donations, "THANKS_DONATIONS_MESSAGE_TEXTBOX");
    EXPECT_EQ(textColour(donations, "THANKS_DONATIONS_MESSAGE_TEXTBOX"), kBlack);
    QTest::qWait(450);
    EXPECT_EQ(textColour(donations, "THANKS_DONATIONS_MESSAGE_TEXTBOX"), kBlack) << "stays stopped";

    doubleClick(donations, "THANKS_DONATIONS_MESSAGE_TEXTBOX");
    EXPECT_EQ(thanksFlashes(donations, 3), std::vector<QColor>({ kGreen, kRed, kCyan }));
}

TEST_F(InfoWindowsTest, DoubleClickHighlightsAnAddressCopiesItAndMovingOnResetsIt)
{
    DonationsWindow donations(m_profile, nullptr, testDetails());
    showActive(donations);
    EXPECT_EQ(child<QLineEdit>(donations, "QL_WEBSITE_TEXTBOX")->text(), "https://test.invalid");
    EXPECT_EQ(backColour(donations, "BTC_DONATION_ADDRESS_TEXTBOX"), kLightYellow);

    doubleClick(donations, "BTC_DONATION_ADDRESS_TEXTBOX");
    EXPECT_EQ(backColour(donations, "BTC_DONATION_ADDRESS_TEXTBOX"), kPink);
    EXPECT_EQ(textColour(donations, "BTC_DONATION_ADDRESS_TEXTBOX"), kBlack);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "test-btc-address");
    EXPECT_EQ(child<QLineEdit>(donations, "BTC_DONATION_ADDRESS_TEXTBOX")->selectedText(), "test-btc-address");

    QTest::mouseClick(child(donations, "NMC_DONATION_ADDRESS_TEXTBOX"), Qt::LeftButton);
    EXPECT_EQ(backColour(donations, "BTC_DONATION_ADDRESS_TEXTBOX"), kLightYellow);
    EXPECT_EQ(textColour(donations, "BTC_DONATION_ADDRESS_TEXTBOX"), kBlack);
    EXPECT_EQ(backColour(donations, "NMC_DONATION_ADDRESS_TEXTBOX"), kLightYellow) << "a single click only focuses";

    // An address this build does not set leaves the clipboard as it was.
    EXPECT_EQ(child<QLineEdit>(donations, "LTC_DONATION_ADDRESS_TEXTBOX")->text(), "LTC address not set in this build");
    doubleClick(donations, "LTC_DONATION_ADDRESS_TEXTBOX");
    EXPECT_EQ(backColour(donations, "LTC_DONATION_ADDRESS_TEXTBOX"), kPink);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "test-btc-address");
}

// The addresses come from the build only; a build that sets none shows so and copies nothing.
TEST_F(InfoWindowsTest, TheDonationsWindowShowsTheBuildsAddressesAndNoneOfItsOwn)
{
    const std::pair<const char*, const char*> built[] = {
        { "BTC", KORVANE_DONATION_ADDRESS_BTC }, { "NMC", KORVANE_DONATION_ADDRESS_NMC },
        { "LTC", KORVANE_DONATION_ADDRESS_LTC }, { "DASH", KORVANE_DONATION_ADDRESS_DASH },
        { "VTC", KORVANE_DONATION_ADDRESS_VTC },
    };
    DonationsWindow donations(m_profile, nullptr);
    showActive(donations);
    QGuiApplication::clipboard()->setText("before");
    int top = -1;
    for (const auto& [coin, address] : built) {
        const QString name = QString(coin) + "_DONATION_ADDRESS_TEXTBOX";
        auto* box = child<QLineEdit>(donations, name);
        auto* label = child<QWidget>(donations, QString(coin) + "_NAME_LABEL");
        EXPECT_GT(box->y(), top) << coin << ": the coins are listed in their order";
        EXPECT_EQ(label->y(), box->y()) << coin;
        top = box->y();
        const QString expected = *address ? QString(address) : QString(coin) + " address not set in this build";
        EXPECT_EQ(box->text(), expected);
        if (!*address) {
            QTest::mouseDClick(box, Qt::LeftButton);
            EXPECT_EQ(QGuiApplication::clipboard()->text(), "before") << coin;
        }
    }
    const QString website = *KORVANE_WEBSITE ? QString(KORVANE_WEBSITE) : QString("Web address not set in this build");
    EXPECT_EQ(child<QLineEdit>(donations, "QL_WEBSITE_TEXTBOX")->text(), website);
}

// 96 dots per inch offscreen: 15 twips to a pixel.
TEST_F(InfoWindowsTest, EachWindowStoresOnlyItsLeftAndTopOnCloseAndReopensThere)
{
    {
        AboutWindow about(m_profile, nullptr);
        EXPECT_EQ(about.pos(), QPoint(67, 67));
        EXPECT_EQ(about.size(), QSize(623, 167));
        about.move(200, 150);
        about.resize(700, 300);
        about.show();
        about.close();
    }
    EXPECT_EQ(stored("ABOUT_Left"), "3000");
    EXPECT_EQ(stored("ABOUT_Top"), "2250");
    EXPECT_EQ(stored("ABOUT_Width"), "<none>");
    EXPECT_EQ(stored("ABOUT_Height"), "<none>");
    EXPECT_EQ(AboutWindow(m_profile, nullptr).geometry(), QRect(200, 150, 623, 167));

    {
        DonationsWindow donations(m_profile, nullptr);
        EXPECT_EQ(donations.pos(), QPoint(67, 67));
        EXPECT_EQ(donations.size(), QSize(592, 422));
        // Every control, the clipboard hint too, lies inside the first-start size.
        for (const QWidget* control : donations.findChildren<QWidget*>())
            EXPECT_TRUE(donations.rect().contains(control->geometry())) << control->objectName().toStdString();
        donations.show();
        donations.move(300, 90);
        QTest::mouseClick(child(donations, "OK_BUTTON"), Qt::LeftButton);
    }
    EXPECT_EQ(stored("DONATIONS_WINDOW-Left"), "4500");
    EXPECT_EQ(stored("DONATIONS_WINDOW-Top"), "1350");
    EXPECT_EQ(stored("DONATIONS_WINDOW-Width"), "<none>");
    EXPECT_EQ(DonationsWindow(m_profile, nullptr).pos(), QPoint(300, 90));
}

TEST(InfoWindows, AboutOpensFromTheMainWindowAndDonationsFromAboutStoringOnlyTheirPositions)
{
    fake::Services fakes;
    Services services = fakes.services();
    MainWindow main(services);
    main.show();
    const std::size_t savesBefore = fakes.settings.saves.size();

    QString aboutTitle;
    QString donationsTitle;
    const bool opened = test::whileModal(
        [&] { QTest::mouseClick(child(main, "ABOUT_BUTTON"), Qt::LeftButton); },
        [&](QWidget& about) {
            EXPECT_EQ(about.objectName(), "KORVANE_ABOUT");
            EXPECT_EQ(about.parentWidget(), &main);
            aboutTitle = about.windowTitle();
            EXPECT_TRUE(test::whileModal([&] { QTest::mouseClick(child(about, "DONATIONS_BUTTON"), Qt::LeftButton); },
                                         [&](QWidget& donations) {
                                             EXPECT_EQ(donations.objectName(), "DONATIONS_WINDOW");
                                             EXPECT_EQ(donations.parentWidget(), &about);
                                             donationsTitle = donations.windowTitle();
                                             QTest::keyClick(&donations, Qt::Key_Return);
                                         }));
            QTest::keyClick(&about, Qt::Key_Escape);
        });
    EXPECT_TRUE(opened);
    EXPECT_EQ(aboutTitle, "KORVANE - ABOUT");
    EXPECT_TRUE(donationsTitle.startsWith("KORVANE - ") && donationsTitle.contains("QUILLON SOFTWARE"));
    std::vector<std::string> writtenKeys;
    for (auto save = fakes.settings.saves.begin() + static_cast<std::ptrdiff_t>(savesBefore);
         save != fakes.settings.saves.end(); ++save)
        writtenKeys.push_back(save->substr(save->find('/') + 1, save->find('=') - save->find('/') - 1));
    EXPECT_EQ(
        writtenKeys,
        (std::vector<std::string> { "DONATIONS_WINDOW-Left", "DONATIONS_WINDOW-Top", "ABOUT_Left", "ABOUT_Top" }));
}

} // namespace
} // namespace korvane
