#include "gui/elided_label.h"
#include "monitor/node_status_panel.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace korvane {
namespace {

// A node's texts are its own: never read as markup, cut to the panel's width with the whole in the
// tool tip and read whole to a screen reader.
TEST(NodeStatusPanelTest, ShowsTheNodesTextsAsPlainTextCutToItsWidth)
{
    NodeStatusPanel panel(nullptr);
    panel.resize(900, 200);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    NodeSnapshot snapshot;
    snapshot.state = NodeState::Synced;
    snapshot.headline = "synced: answering RPC on port 9332";
    snapshot.lines = { "Network: <b>main</b><img src=x>", "Warnings: " + std::string(300, 'w'), "Size on disk: ?" };
    snapshot.sources = "port: rpcport in /c.conf; credentials: cookie /d/.cookie";
    panel.render(snapshot);

    const auto* network = panel.findChild<ElidedLabel*>(QStringLiteral("NODE_STATUS_LINE_1"));
    EXPECT_EQ(network->textFormat(), Qt::PlainText);
    EXPECT_EQ(network->text(), QStringLiteral("Network: <b>main</b><img src=x>"));
    const auto* warnings = panel.findChild<ElidedLabel*>(QStringLiteral("NODE_STATUS_LINE_2"));
    EXPECT_TRUE(warnings->text().endsWith(QChar(0x2026))) << warnings->text().toStdString();
    EXPECT_EQ(warnings->toolTip(), warnings->fullText());
    EXPECT_EQ(warnings->accessibleName(), warnings->fullText());
    EXPECT_EQ(panel.findChild<ElidedLabel*>(QStringLiteral("NODE_STATE_LABEL"))->toolTip(),
              QStringLiteral("port: rpcport in /c.conf; credentials: cookie /d/.cookie"));

    // Lines and buttons keep their places as the texts change.
    const QRect before = panel.findChild<ElidedLabel*>(QStringLiteral("NODE_STATUS_LINE_8"))->geometry();
    snapshot.lines.clear();
    snapshot.offerRpcStop = true;
    panel.render(snapshot);
    QTest::qWait(20);
    EXPECT_EQ(panel.findChild<ElidedLabel*>(QStringLiteral("NODE_STATUS_LINE_8"))->geometry(), before);
    EXPECT_TRUE(panel.findChild<QPushButton*>(QStringLiteral("NODE_RPC_STOP_BUTTON"))->isVisible());
}

} // namespace
} // namespace korvane
