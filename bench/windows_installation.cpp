// The first start of a new root: the platform seeds the root and adds the default Windows
// installation from the program folder's template (goal under 500 ms). The template is built once
// from the Tango theme, as the build does.

#include "builder/DemoCatalogue.h"
#include "builder/WindowsInstallation.h"
#include "platform/Platform.h"
#include "support/ScriptedDialogs.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDirIterator>
#include <QTemporaryDir>

using namespace glyphary;

namespace {

void BM_FirstStartWithInstallation(benchmark::State& state)
{
    QTemporaryDir templateFolder;
    const QString templatePath = templateFolder.filePath(QStringLiteral("Windows"));
    if (!writeInstallationTemplate(defaultWindowsInstallation(InstallationArtwork(kTangoThemeFolder)), templatePath, nullptr)) {
        state.SkipWithError("the installation could not be built");
        return;
    }
    qint64 bytes = 0;
    int files = 0;
    for (QDirIterator walk(templatePath, QDir::Files, QDirIterator::Subdirectories); walk.hasNext(); ++files)
        bytes += QFileInfo(walk.next()).size();

    testing::ScriptedDialogs dialogs;
    for (auto _ : state) {
        state.PauseTiming();
        auto rootFolder = std::make_unique<QTemporaryDir>();
        platform::PlatformConfig config;
        config.rootHostPath = rootFolder->filePath(QStringLiteral("root"));
        config.osSpec = QStringLiteral("98");
        config.installationHostPath = templatePath;
        state.ResumeTiming();
        platform::Platform platform(config, dialogs);
        benchmark::DoNotOptimize(&platform);
        state.PauseTiming();
        rootFolder.reset();
        state.ResumeTiming();
    }
    state.counters["files"] = files;
    state.counters["templateKB"] = static_cast<double>(bytes) / 1024.0;
}
BENCHMARK(BM_FirstStartWithInstallation)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
