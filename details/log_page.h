#pragma once

#include <QWidget>
#include <cstdint>
#include <deque>
#include <string>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

namespace korvane {

class ElidedLabel;

// The log page: the last lines of the node's log as plain text, following as the log grows (what is
// new is added at the end, and the view stays at the bottom unless the user scrolled up), filtered
// by a text and to errors and warnings. Bytes that are not UTF-8 show as replacement characters.
class LogPage : public QWidget
{
    Q_OBJECT

public:
    explicit LogPage(QWidget* parent);

    // The lines the model keeps, oldest first, and why the log cannot be read (empty when it can).
    // The model's last lines, and how many it took since it last read the log anew.
    void setLines(const std::deque<std::string>& lines, const std::string& problem, std::uint64_t taken);

private:
    bool shown(const std::string& line) const;
    void showAll();
    void append(const QString& text);

    std::deque<std::string> m_lines;
    std::uint64_t m_taken = 0; // the model's count of lines taken when they were last shown
    bool m_following = true; // the view is at the bottom
    QLineEdit* m_filter;
    QCheckBox* m_problemsOnly;
    QPlainTextEdit* m_text;
    ElidedLabel* m_problem;
};

} // namespace korvane
