#include "tests/gui/driver.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

QT_BEGIN_NAMESPACE
void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace korvane::test {

void click(const QWidget& window, const char* buttonName)
{
    QTest::mouseClick(child<QPushButton>(window, buttonName), Qt::LeftButton);
}

void tick(const QWidget& window, const char* tickBoxName)
{
    auto* box = child<QCheckBox>(window, tickBoxName);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

bool ticked(const QWidget& window, const char* tickBoxName)
{
    return child<QCheckBox>(window, tickBoxName)->isChecked();
}

void type(const QWidget& window, const char* fieldName, const QString& value)
{
    auto* field = child<QLineEdit>(window, fieldName);
    field->clear();
    QTest::keyClicks(field, value);
}

QString text(const QWidget& window, const char* name)
{
    const QString objectName = QString::fromLatin1(name);
    if (auto* line = window.findChild<QLineEdit*>(objectName))
        return line->text();
    if (auto* lines = window.findChild<QPlainTextEdit*>(objectName))
        return lines->toPlainText();
    if (auto* button = window.findChild<QPushButton*>(objectName))
        return button->text();
    return child<QLabel>(window, name)->text();
}

QString accessibleName(QWidget* widget)
{
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

bool whileModal(const std::function<void()>& open, std::function<void(QWidget&)> act)
{
    auto pending = std::make_shared<bool>(true);
    auto acted = std::make_shared<bool>(false);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [pending, acted, act = std::move(act), weakPoll = std::weak_ptr(poll)] {
        if (!*pending)
            return;
        if (QWidget* modal = QApplication::activeModalWidget()) {
            *pending = false;
            *acted = true;
            act(*modal);
        } else if (auto again = weakPoll.lock()) {
            QTimer::singleShot(10, *again);
        }
    };
    QTimer::singleShot(0, *poll);
    open();
    *pending = false;
    return *acted;
}

} // namespace korvane::test
