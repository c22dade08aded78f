// What the conf check costs the GUI thread on each tick of the conf generator's preview: the check
// of the rendered text alone, the panel's check of a text that changed (findings rebuilt), of an
// unchanged one, and for comparison the preview's own text replacement that every changed tick does.
#include "conf/conf_check_panel.h"
#include "gui/live_profile.h"
#include "platform/fake/fake_services.h"
#include "tests/conf/conf_check_support.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <benchmark/benchmark.h>
#include <fstream>
#include <sstream>

namespace korvane {
namespace {

std::string recordedHelp(const char* file)
{
    std::ifstream in(std::string(KORVANE_CONF_TEST_DATA) + "/" + file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const DaemonOptions& litecoind()
{
    static const DaemonOptions daemon = [] {
        DaemonOptions options;
        options.help = parseDaemonHelp(recordedHelp("litecoind-0.21.2.1-help-debug.txt"));
        options.name = daemonDisplayName("litecoind", options.help.version);
        options.state = DaemonOptionsState::Known;
        return options;
    }();
    return daemon;
}

const std::vector<std::string> kDaemonWords { "-conf=/home/u/LTC-CRYPTO-CONFIG.conf", "-datadir=/srv/ltc", "" };

void checkRenderedText(benchmark::State& state)
{
    const std::string text = test::basicLitecoinConf("regtest=1\r\naddnode=10.0.0.1\r\naddnode=10.0.0.2");
    for (auto _ : state)
        benchmark::DoNotOptimize(checkConf(text, kDaemonWords, litecoind()));
}

// A panel whose daemon answers with the recorded help texts; ready once it has read them.
struct PanelFixture
{
    PanelFixture()
    {
        fakes.programs.setAnswer([](const ProgramRun& run, std::stop_token) {
            ProgramOutput output;
            output.outcome = ProgramOutcome::Finished;
            output.exitCode = 0;
            output.standardOutput = recordedHelp(run.arguments.back() == "-help" ? "litecoind-0.21.2.1-help.txt"
                                                                                 : "litecoind-0.21.2.1-help-debug.txt");
            return output;
        });
        // Any file that exists serves as the daemon's program file.
        profile.setText(Key::DaemonCommand, QStringLiteral("\"%1\"").arg(QCoreApplication::applicationFilePath()));
        panel = std::make_unique<ConfCheckPanel>(fakes.programs, profile, nullptr);
        auto* daemonLine = panel->findChild<QLabel*>(QStringLiteral("CONF_CHECK_DAEMON_LABEL"));
        while (!daemonLine->text().startsWith(QStringLiteral("Checked against")))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }

    fake::Services fakes;
    LiveProfile profile { fakes.settings, fakes.ownExecutable };
    std::unique_ptr<ConfCheckPanel> panel;
};

void panelCheckOfAChangedText(benchmark::State& state)
{
    PanelFixture fixture;
    const std::string texts[] = { test::basicLitecoinConf(), test::basicLitecoinConf("regtest=1") };
    std::size_t turn = 0;
    for (auto _ : state)
        fixture.panel->check(texts[++turn % 2]);
}

void panelCheckOfAnUnchangedText(benchmark::State& state)
{
    PanelFixture fixture;
    const std::string text = test::basicLitecoinConf();
    for (auto _ : state)
        fixture.panel->check(text);
}

void previewTextReplacement(benchmark::State& state)
{
    QPlainTextEdit preview;
    const QString texts[] = { QString::fromStdString(test::basicLitecoinConf()),
                              QString::fromStdString(test::basicLitecoinConf("regtest=1")) };
    std::size_t turn = 0;
    for (auto _ : state)
        preview.setPlainText(texts[++turn % 2]);
}

} // namespace
} // namespace korvane

BENCHMARK(korvane::checkRenderedText)->Unit(benchmark::kMicrosecond);
BENCHMARK(korvane::panelCheckOfAChangedText)->Unit(benchmark::kMicrosecond);
BENCHMARK(korvane::panelCheckOfAnUnchangedText)->Unit(benchmark::kMicrosecond);
BENCHMARK(korvane::previewTextReplacement)->Unit(benchmark::kMicrosecond);
