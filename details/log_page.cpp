#include "details/log_page.h"

#include "details/details_rules.h"
#include "gui/controls.h"
#include "gui/elided_label.h"
#include "node/node_details.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace korvane {

using controls::fromStd;

LogPage::LogPage(QWidget* parent)
    : QWidget(parent)
    , m_filter(controls::named(new QLineEdit(this), "LOG_FILTER_BOX"))
    , m_problemsOnly(controls::tickBox("LOG_PROBLEMS_ONLY_TICKBOX", QStringLiteral("Errors and warnings only"), this))
    , m_text(controls::named(new QPlainTextEdit(this), "NODE_LOG_TEXT"))
    , m_problem(controls::named(new ElidedLabel(this), "LOG_PROBLEM_LABEL"))
{
    setObjectName(QStringLiteral("LOG_PAGE"));
    auto* filterCaption = controls::label("LOG_FILTER_CAPTION", QStringLiteral("Filter:"), this);
    filterCaption->setBuddy(m_filter);
    m_filter->setClearButtonEnabled(true);
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setMaximumBlockCount(static_cast<int>(LogFollower::kLines));
    m_text->setAccessibleName(QStringLiteral("Node log"));
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* filters = new QHBoxLayout;
    filters->addWidget(filterCaption);
    filters->addWidget(m_filter, 1);
    filters->addWidget(m_problemsOnly);
    auto* page = new QVBoxLayout(this);
    page->addLayout(filters);
    page->addWidget(m_text, 1);
    page->addWidget(m_problem);

    // The view follows the log while it is at the bottom, also as a scroll bar or a longer line
    // takes room from it.
    QScrollBar* scroll = m_text->verticalScrollBar();
    connect(scroll, &QScrollBar::valueChanged, this,
            [this, scroll](int value) { m_following = value == scroll->maximum(); });
    connect(scroll, &QScrollBar::rangeChanged, this, [this, scroll](int, int maximum) {
        if (m_following)
            scroll->setValue(maximum);
    });
    connect(m_filter, &QLineEdit::textChanged, this, &LogPage::showAll);
    connect(m_problemsOnly, &QCheckBox::toggled, this, &LogPage::showAll);
}

void LogPage::setLines(const std::deque<std::string>& lines, const std::string& problem, std::uint64_t taken)
{
    m_problem->setFullText(fromStd(problem));
    const bool anew = taken < m_taken || taken - m_taken >= lines.size();
    const auto added = static_cast<std::size_t>(taken - std::min(taken, m_taken));
    m_taken = taken;
    m_lines = lines;
    if (anew) {
        showAll();
        return;
    }
    QStringList text;
    for (auto line = lines.end() - static_cast<std::ptrdiff_t>(added); line != lines.end(); ++line) {
        if (shown(*line))
            text << fromStd(*line);
    }
    if (!text.isEmpty())
        append(text.join(QLatin1Char('\n')));
}

bool LogPage::shown(const std::string& line) const
{
    if (m_problemsOnly->isChecked() && !isErrorOrWarning(line))
        return false;
    return m_filter->text().isEmpty() || fromStd(line).contains(m_filter->text(), Qt::CaseInsensitive);
}

void LogPage::showAll()
{
    m_text->clear();
    QStringList text;
    for (const std::string& line : m_lines) {
        if (shown(line))
            text << fromStd(line);
    }
    if (!text.isEmpty())
        append(text.join(QLatin1Char('\n')));
}

// Adds lines at the end; the view stays at the bottom, or where the user scrolled it, as the
// oldest lines go.
void LogPage::append(const QString& text)
{
    QScrollBar& scroll = *m_text->verticalScrollBar();
    const bool following = m_following;
    const int firstShown = scroll.value();
    const int linesBefore = m_text->document()->isEmpty() ? 0 : m_text->blockCount();
    const int added = static_cast<int>(text.count(QLatin1Char('\n'))) + 1;
    m_text->appendPlainText(text);
    if (following) {
        scroll.setValue(scroll.maximum());
        return;
    }
    const int dropped = linesBefore + added - m_text->blockCount();
    scroll.setValue(std::max(0, firstShown - dropped));
}

} // namespace korvane
