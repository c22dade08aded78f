#pragma once

// What every widget test drives the windows with: finding a window's controls by object name,
// acting on them as a user does, and answering a modal window.

#include <QObject>
#include <QString>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <stdexcept>
#include <string>

class QWidget;

QT_BEGIN_NAMESPACE
// Failure messages show a QString as its text.
void PrintTo(const QString& text, std::ostream* out);
QT_END_NAMESPACE

namespace korvane::test {

// The child of `parent` named `name`; a missing one fails the test, which goes on with null.
template <typename Child = QWidget> Child* child(const QObject& parent, const QString& name)
{
    auto* found = parent.findChild<Child*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}
template <typename Child = QWidget> Child* child(const QObject& parent, const char* name)
{
    return child<Child>(parent, QString::fromLatin1(name));
}

// The same for helpers that go on with a reference: a missing child ends the test at once.
template <typename Child = QWidget> Child& control(const QObject& parent, const char* name)
{
    auto* found = parent.findChild<Child*>(QString::fromLatin1(name));
    if (!found)
        throw std::runtime_error(std::string("no control ") + name);
    return *found;
}

void click(const QWidget& window, const char* buttonName);
// Clicks a tick box on its indicator, as a user would.
void tick(const QWidget& window, const char* tickBoxName);
bool ticked(const QWidget& window, const char* tickBoxName);
// Replaces a one-line box's text by typing.
void type(const QWidget& window, const char* fieldName, const QString& value);
// What a text box, button or label shows.
QString text(const QWidget& window, const char* name);
// The name a screen reader reads.
QString accessibleName(QWidget* widget);

// Calls `open`, which shows a modal window and waits for it; once the window is up, `act` runs
// on it and must close it. Returns whether `act` ran.
bool whileModal(const std::function<void()>& open, std::function<void(QWidget&)> act);

} // namespace korvane::test
