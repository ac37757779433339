// The "Your Icons" listings until page 1 shows: the file types of a registry of 2,000 classes with
// DefaultIcon values, and 500 shortcuts under the Desktop folder.

#include "core/FolderWalker.h"
#include "platform/Registry.h"
#include "platform/ShortcutFile.h"
#include "sources/Install.h"
#include "support/PeBuilder.h"
#include "support/SessionFixture.h"

#include <QDir>
#include <benchmark/benchmark.h>

using namespace glyphary;
using namespace glyphary::platform;

namespace {

constexpr int kClasses = 2000;
constexpr int kShortcuts = 500;

struct Installation : glyphary::testing::SessionParts<> {
    Installation()
    {
        context.WindowsFolder = QStringLiteral("C:\\WINDOWS");
        context.OsCode = QStringLiteral("98");
        sources::install(session);
        root.writeFile(QStringLiteral("C:\\Icons\\type.ico"), glyphary::testing::icoFile({glyphary::testing::dibImage(8)}));
        Registry& registry = context.platform.registry();
        {
            RegistryBatch batch(registry);
            for (int i = 0; i < kClasses; ++i) {
                const std::string type = "type" + std::to_string(i);
                registry.setValue(HKEY_CLASSES_ROOT, ".x" + std::to_string(i), "", REG_SZ, regString(type));
                registry.setValue(HKEY_CLASSES_ROOT, type, "", REG_SZ, regString("Document " + std::to_string(i)));
                registry.setValue(HKEY_CLASSES_ROOT, type + "\\DefaultIcon", "", REG_SZ, regString("C:\\Icons\\type.ico,0"));
                registry.setValue(HKEY_CLASSES_ROOT, type + "\\Shell\\Open\\Command", "", REG_SZ, regString("C:\\viewer.exe %1"));
            }
        }
        QDir().mkpath(root.host(QStringLiteral("C:\\WINDOWS")) + QStringLiteral("/Desktop"));
        ShortcutFields fields;
        fields.ExeFile = QStringLiteral("C:\\Program Files\\Viewer\\viewer.exe");
        fields.IconFile = QStringLiteral("C:\\Icons\\type.ico");
        for (int i = 0; i < kShortcuts; ++i)
            writeShortcut(context.platform.paths(), QStringLiteral("C:\\WINDOWS\\Desktop\\Program %1.lnk").arg(i), fields);
    }
};

Installation& installation()
{
    static Installation made;
    return made;
}

void listUntilPageOne(benchmark::State& state, SourceFamily family, const SourceRequest& request, int expected)
{
    Installation& at = installation();
    for (auto _ : state) {
        at.session.sources().list(family, request, at.session.listingHost());
        if (at.session.cmbResult.count() != expected || at.window.rows.empty())
            state.SkipWithError("wrong listing");
    }
}

void BM_FileTypes2000Classes(benchmark::State& state)
{
    listUntilPageOne(state, SourceFamily::FileTypes, {}, kClasses);
}
BENCHMARK(BM_FileTypes2000Classes)->Unit(benchmark::kMillisecond);

void BM_Shortcuts500OnTheDesktop(benchmark::State& state)
{
    listUntilPageOne(state, SourceFamily::Shortcuts, {QStringLiteral("Desktop")}, kShortcuts);
}
BENCHMARK(BM_Shortcuts500OnTheDesktop)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
