#pragma once

#include "conf/conf_generator_window.h"
#include "gui/controls.h"
#include "gui/live_profile.h"
#include "platform/fake/fake_services.h"
#include "settings/node_conventions.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

QT_BEGIN_NAMESPACE
// Failure messages show a QString as its text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace korvane::test {

template <typename Widget = QWidget> Widget* child(const QWidget& parent, const char* name)
{
    auto* widget = parent.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

inline void click(const QWidget& window, const char* buttonName)
{
    QTest::mouseClick(child<QPushButton>(window, buttonName), Qt::LeftButton);
}

// Clicks a tick box on its indicator, as a user would.
inline void tick(const QWidget& window, const char* tickBoxName)
{
    auto* box = child<QCheckBox>(window, tickBoxName);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

inline bool ticked(const QWidget& window, const char* tickBoxName)
{
    return child<QCheckBox>(window, tickBoxName)->isChecked();
}

inline QString text(const QWidget& window, const char* name)
{
    if (auto* line = window.findChild<QLineEdit*>(QString::fromLatin1(name)))
        return line->text();
    if (auto* lines = window.findChild<QPlainTextEdit*>(QString::fromLatin1(name)))
        return lines->toPlainText();
    return child<QPushButton>(window, name)->text();
}

inline void type(const QWidget& window, const char* fieldName, const QString& value)
{
    auto* field = child<QLineEdit>(window, fieldName);
    field->clear();
    QTest::keyClicks(field, value);
}

// A copy of the program named "BTC" with fake services, and its conf generator.
class ConfWindowsTest : public ::testing::Test
{
protected:
    ConfWindowsTest()
    {
        m_fakes.ownExecutable.executableName = "BTC";
        m_fakes.ownExecutable.executableFolder = "/opt/nodes";
    }

    ConfGeneratorWindow& openGenerator() { return openGenerator(m_services); }
    ConfGeneratorWindow& openGenerator(Services& services)
    {
        m_generator = std::make_unique<ConfGeneratorWindow>(
            services, m_profile,
            defaultConfLocation(nodeConventionsFor(nativeOperatingSystem()), services.ownExecutable.folder(),
                                services.ownExecutable.name()),
            nullptr);
        m_generator->show();
        return *m_generator;
    }

    std::string stored(const std::string& key) const
    {
        return m_fakes.settings.getSetting("QL_KORVANE", "BTC", key, "<none>");
    }

    fake::Services m_fakes;
    Services m_services = m_fakes.services();
    LiveProfile m_profile { m_fakes.settings, m_fakes.ownExecutable };
    std::unique_ptr<ConfGeneratorWindow> m_generator;
};

} // namespace korvane::test
