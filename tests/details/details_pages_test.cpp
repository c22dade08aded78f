// The node details window's pages fed with plain data, as the model would feed them.
#include "details/log_page.h"
#include "details/peer_table_model.h"
#include "details/peers_page.h"
#include "tests/gui/driver.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>

namespace korvane {
namespace {

using test::child;

constexpr std::int64_t kNow = 1'800'000'000;

PeerInfo peer(std::int64_t id, std::optional<std::int64_t> received, std::optional<double> ping = 0.05)
{
    PeerInfo info;
    info.id = id;
    info.address = "127.0.0." + std::to_string(id) + ":19444";
    info.subversion = "/LitecoinCore:0.21.2.1/";
    info.pingSeconds = ping;
    info.syncedBlocks = 100 + id;
    info.bytesReceived = received;
    info.connectedAt = kNow - (3 * 3600 + 12 * 60);
    return info;
}

QStringList column(const QAbstractItemModel& model, int column)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, column).data().toString();
    return texts;
}

TEST(PeerTable, SortsFiguresAsNumbersAndShowsAMissingOneAsAQuestionMark)
{
    PeerTableModel model;
    model.setPeers({ peer(1, 900), peer(2, 1'200'000), peer(3, std::nullopt, -1.0), peer(4, 5000) }, kNow);
    QSortFilterProxyModel sorted;
    sorted.setSourceModel(&model);
    sorted.setSortRole(PeerTableModel::kSortRole);

    sorted.sort(PeerTableModel::BytesReceived, Qt::AscendingOrder);
    EXPECT_EQ(column(sorted, PeerTableModel::BytesReceived),
              (QStringList { "?", "900 bytes", "5.00 kB", "1.20 MB" })); // as text, "1.20 MB" would come first
    sorted.sort(PeerTableModel::Ping, Qt::DescendingOrder);
    EXPECT_EQ(column(sorted, PeerTableModel::Ping), (QStringList { "50", "50", "50", "?" }));
    EXPECT_EQ(column(sorted, PeerTableModel::SyncedHeaders), (QStringList { "?", "?", "?", "?" }));
    EXPECT_EQ(model.index(0, PeerTableModel::ConnectedFor).data().toString(), "3 h 12 min");
    EXPECT_EQ(model.index(0, PeerTableModel::Direction).data().toString(), "out");
    EXPECT_EQ(model.headerData(PeerTableModel::Ping, Qt::Horizontal, Qt::DisplayRole).toString(), "Ping (ms)");
}

TEST(PeersPage, ARequestOnTheSelectedPeerIsAskedFirstNamingItAndKeepsItsSelectionAsFiguresChange)
{
    PeersPage page(nullptr);
    page.show();
    page.setPeers({ peer(1, 900), peer(2, 5000) }, kNow);
    auto* disconnect = child<QPushButton>(page, "PEER_DISCONNECT_BUTTON");
    EXPECT_FALSE(disconnect->isEnabled());
    auto* table = child<QTableView>(page, "PEERS_TABLE");
    table->selectRow(1);
    page.setPeers({ peer(1, 950), peer(2, 6000) }, kNow + 2); // the next poll
    page.setPeers({ peer(2, 7000), peer(3, 10) }, kNow + 4); // a peer left, another came
    ASSERT_TRUE(disconnect->isEnabled());

    QSignalSpy disconnected(&page, &PeersPage::disconnectChosen);
    QSignalSpy banned(&page, &PeersPage::banChosen);
    QString asked;
    for (const char* answer : { "Cancel", "Disconnect" }) {
        EXPECT_TRUE(test::whileModal([&] { disconnect->click(); },
                                     [&](QWidget& box) {
                                         asked = static_cast<QMessageBox&>(box).text();
                                         for (QAbstractButton* button : static_cast<QMessageBox&>(box).buttons()) {
                                             if (button->text() == answer)
                                                 button->click();
                                         }
                                     }));
    }
    EXPECT_EQ(asked, "Disconnect the peer 127.0.0.2:19444 (/LitecoinCore:0.21.2.1/)?");
    ASSERT_EQ(disconnected.size(), 1);
    EXPECT_EQ(disconnected[0][0].value<PeerInfo>().id, 2);
    EXPECT_TRUE(banned.isEmpty());
}

TEST(LogPage, FollowsTheLogFiltersItAndStaysWhereTheUserScrolled)
{
    LogPage page(nullptr);
    page.resize(600, 300);
    page.show();
    auto& text = test::control<QPlainTextEdit>(page, "NODE_LOG_TEXT");
    QScrollBar& scroll = *text.verticalScrollBar();
    const QString error = QStringLiteral("2026-12-09T19:24:10Z ERROR: bad \uFFFD byte") + QString(300, u'.');
    std::deque<std::string> lines;
    std::uint64_t taken = 0;
    const auto take = [&](const std::string& line) {
        lines.push_back(line);
        ++taken;
        while (lines.size() > 500)
            lines.pop_front(); // as the model keeps them
    };
    const auto add = [&](int from, int to) {
        for (int line = from; line <= to; ++line)
            take("line " + std::to_string(line));
        page.setLines(lines, "", taken);
    };
    add(1, 499);
    take("2026-12-09T19:24:10Z ERROR: bad \xFF byte" + std::string(300, '.'));
    page.setLines(lines, "", taken);
    EXPECT_EQ(text.blockCount(), 500);
    EXPECT_EQ(text.document()->lastBlock().text(), error);
    QTRY_VERIFY(text.horizontalScrollBar()->isVisible()); // for the long line, taken from the view's height
    EXPECT_EQ(scroll.value(), scroll.maximum()); // following

    add(501, 501);
    EXPECT_EQ(text.document()->firstBlock().text(), "line 2");
    EXPECT_EQ(text.document()->lastBlock().text(), "line 501");
    EXPECT_EQ(scroll.value(), scroll.maximum());

    scroll.setValue(200); // the user reads older lines: they stay in view as the oldest go
    const QString firstInView = text.document()->findBlockByNumber(200).text();
    add(502, 551);
    EXPECT_EQ(text.blockCount(), 500);
    EXPECT_EQ(text.document()->lastBlock().text(), "line 551");
    EXPECT_EQ(scroll.value(), 150);
    EXPECT_EQ(text.document()->findBlockByNumber(150).text(), firstInView);

    test::type(page, "LOG_FILTER_BOX", QStringLiteral("LINE 55"));
    EXPECT_EQ(text.toPlainText(), "line 55\nline 550\nline 551");
    test::type(page, "LOG_FILTER_BOX", QString());
    test::tick(page, "LOG_PROBLEMS_ONLY_TICKBOX");
    EXPECT_EQ(text.toPlainText(), error);

    page.setLines({}, "/data/regtest/debug.log is not there yet", 0); // read anew
    EXPECT_TRUE(text.toPlainText().isEmpty());
    EXPECT_EQ(test::text(page, "LOG_PROBLEM_LABEL"), "/data/regtest/debug.log is not there yet");
}

} // namespace
} // namespace korvane
