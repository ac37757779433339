// Options Apply with all five file associations checked, on a registry of a real size (1,000
// other file types), so that each hive save writes a full file. Goal: under 50 ms.

#include "options/Install.h"
#include "platform/Registry.h"
#include "support/SessionFixture.h"

#include <QDir>
#include <benchmark/benchmark.h>

using namespace glyphary;
using namespace glyphary::platform;

namespace {

void OptionsApplyAllAssociations(benchmark::State& state)
{
    glyphary::testing::SessionParts<> parts;
    parts.context.ProgramFolder = QStringLiteral("C:\\Program Files\\Glyphary\\");
    parts.context.WindowsFolder = QStringLiteral("C:\\WINDOWS");
    parts.context.SystemFolder = QStringLiteral("C:\\WINDOWS\\SYSTEM");
    QDir().mkpath(parts.root.host(QStringLiteral("C:\\WINDOWS\\Sendto")));
    Registry& registry = parts.context.platform.registry();
    {
        RegistryBatch batch(registry);
        for (int i = 0; i < 1000; ++i) {
            const std::string type = "type" + std::to_string(i);
            registry.setValue(HKEY_CLASSES_ROOT, "." + type, "", REG_SZ, regString(type + "file"));
            registry.setValue(HKEY_CLASSES_ROOT, type + "file\\DefaultIcon", "", REG_SZ, regString("x.dll,1"));
        }
    }
    options::Options& options = options::install(parts.session);
    options.controller.load();
    options.controller.values.associations.fill(true);
    options.controller.values.sendTo = true;
    for (auto _ : state)
        options.controller.apply();
}
BENCHMARK(OptionsApplyAllAssociations)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
