// The node details window opened from the main window, as a user opens it.
#include "app/main_window.h"
#include "details/node_details_window.h"
#include "gui/elided_label.h"
#include "platform/fake/fake_services.h"
#include "tests/gui/driver.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTest>
#include <QThreadPool>
#include <gtest/gtest.h>

namespace korvane {
namespace {

using test::child;

class NodeDetailsWindowTest : public ::testing::Test
{
protected:
    void TearDown() override { QThreadPool::globalInstance()->waitForDone(); }

    std::unique_ptr<MainWindow> openMain()
    {
        auto window = std::make_unique<MainWindow>(m_asServices);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }

    std::string stored(const std::string& key)
    {
        return m_fakes.settings.getSetting("QL_KORVANE", m_fakes.ownExecutable.name(), key, "<none>");
    }

    fake::Services m_fakes;
    Services m_asServices = m_fakes.services();
};

QList<NodeDetailsWindow*> detailsWindows(const QWidget& main)
{
    QList<NodeDetailsWindow*> open;
    for (NodeDetailsWindow* window : main.findChildren<NodeDetailsWindow*>()) {
        if (window->isVisible())
            open << window;
    }
    return open;
}

TEST_F(NodeDetailsWindowTest, OpensBesideTheMainWindowOnceFromThePanelOrTheTrayAndStoresItsPosition)
{
    m_fakes.tray.present = true;
    auto main = openMain();
    test::click(*main, "NODE_DETAILS_BUTTON");
    ASSERT_EQ(detailsWindows(*main).size(), 1);
    NodeDetailsWindow& details = *detailsWindows(*main).front();
    EXPECT_EQ(details.objectName(), "NODE_DETAILS");
    EXPECT_EQ(details.windowTitle(), "KORVANE - NODE DETAILS");
    EXPECT_FALSE(details.isModal());
    EXPECT_EQ(details.pos(), QPoint(93, 93)); // 1400 twips
    auto* pages = child<QTabWidget>(details, "NODE_DETAILS_PAGES");
    QStringList captions;
    for (int page = 0; page < pages->count(); ++page)
        captions << pages->tabText(page);
    EXPECT_EQ(captions, (QStringList { "Peers", "Traffic", "Mempool", "Node", "Log" }));
    // Nothing known of a node that does not run.
    EXPECT_EQ(child<ElidedLabel>(details, "NODE_VERSION_LABEL")->fullText(), "?");
    EXPECT_EQ(child<ElidedLabel>(details, "MEMPOOL_TRANSACTIONS_LABEL")->fullText(), "?");
    EXPECT_EQ(child<ElidedLabel>(details, "NODE_DETAILS_STATE_LABEL")->fullText(), "Node: daemon not running");

    test::click(*main, "NODE_DETAILS_BUTTON");
    test::control<QAction>(*main->trayIcon()->contextMenu(), "TRAY_NODE_DETAILS_ACTION").trigger();
    EXPECT_EQ(detailsWindows(*main), QList<NodeDetailsWindow*> { &details });

    details.move(300, 150);
    test::click(details, "CLOSE_BUTTON");
    EXPECT_TRUE(detailsWindows(*main).isEmpty());
    EXPECT_EQ(stored("NODE_DETAILS-Left"), "4500");
    EXPECT_EQ(stored("NODE_DETAILS-Top"), "2250");
    EXPECT_EQ(stored("NODE_DETAILS-Width"), "<none>");

    test::click(*main, "NODE_DETAILS_BUTTON");
    ASSERT_EQ(detailsWindows(*main).size(), 1);
    EXPECT_EQ(detailsWindows(*main).front()->pos(), QPoint(300, 150));
    detailsWindows(*main).front()->move(450, 300);
    main->close(); // Exit: the window closes with the program, and stores its position
    EXPECT_EQ(stored("NODE_DETAILS-Left"), "6750");
}

} // namespace
} // namespace korvane
