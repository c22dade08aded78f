#include "conf/start_check.h"

#include "conf/conf_check_panel.h"
#include "gui/controls.h"
#include "platform/qt/async_task.h"

#include <QMessageBox>
#include <QPushButton>

namespace korvane {
namespace {

void askToStartAnyway(QWidget& owner, const QStringList& clashes, std::function<void()> proceed)
{
    auto* question = new QMessageBox(QMessageBox::Warning, QStringLiteral("START DAEMON"),
                                     QStringLiteral("This node and another copy's node cannot both run:\n\n%1\n\n"
                                                    "Start this node anyway?")
                                         .arg(clashes.join(QStringLiteral("\n\n"))),
                                     QMessageBox::Cancel, &owner);
    question->setObjectName(QStringLiteral("START_CLASH_QUESTION"));
    question->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* start = question->addButton(QStringLiteral("Start anyway"), QMessageBox::AcceptRole);
    start->setObjectName(QStringLiteral("START_ANYWAY_BUTTON"));
    question->setDefaultButton(QMessageBox::Cancel);
    QObject::connect(question, &QMessageBox::buttonClicked, question,
                     [start, proceed = std::move(proceed)](QAbstractButton* clicked) {
                         if (clicked == start)
                             proceed();
                     });
    question->open();
}

} // namespace

void checkBeforeStart(QWidget& owner,
                      const LiveProfile& profile,
                      const SettingsStore& profiles,
                      std::function<void()> proceed)
{
    Workstation workstation = thisWorkstation(profile, profiles);
    if (workstation.others.empty()) {
        proceed();
        return;
    }
    async::runThenCallback(
        &owner,
        [copy = thisCopy(profile), workstation = std::move(workstation)](std::stop_token) {
            return checkAcrossCopies(copy, workstation).findings;
        },
        [&owner, proceed = std::move(proceed)](const std::vector<ConfFinding>& findings) mutable {
            QStringList clashes;
            for (const ConfFinding& finding : findings) {
                if (finding.weight == FindingWeight::Stops)
                    clashes << controls::fromStd(finding.text);
            }
            if (clashes.isEmpty())
                proceed();
            else
                askToStartAnyway(owner, clashes, std::move(proceed));
        });
}

} // namespace korvane
