#pragma once

#include "conf/conf_generator_window.h"
#include "gui/controls.h"
#include "gui/live_profile.h"
#include "platform/fake/fake_services.h"
#include "settings/node_conventions.h"
#include "tests/gui/driver.h"

#include <gtest/gtest.h>
#include <memory>

namespace korvane::test {

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
