// The icon changer: Apply of each kind with its registry or shortcut save, Change Any Folder, the
// next free number of an Icons folder holding 4,999 numbered files, and the icon cache rebuild. The registry holds
// 1,000 file types besides the targets, so that each save writes a hive of a real size.

#include "changer/ChangeApplier.h"
#include "changer/ChangeTargets.h"
#include "changer/IconCache.h"
#include "changer/IconsFolder.h"
#include "changer/Install.h"
#include "platform/Registry.h"
#include "platform/ShortcutFile.h"
#include "sources/Install.h"
#include "support/PeBuilder.h"
#include "support/SessionFixture.h"

#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>

using namespace glyphary;
using namespace glyphary::platform;

namespace {

struct Installation : glyphary::testing::SessionParts<> {
    Installation()
    {
        context.WindowsFolder = QStringLiteral("C:\\WINDOWS");
        context.SystemFolder = QStringLiteral("C:\\WINDOWS\\SYSTEM");
        context.TempFolder = QStringLiteral("c:\\windows\\temp\\");
        context.OsCode = QStringLiteral("98");
        sources::install(session);
        changer::install(session);
        const QString icon = QStringLiteral("C:\\WINDOWS\\SYSTEM\\shell.ico");
        root.writeFile(icon, glyphary::testing::icoFile({glyphary::testing::dibImage(8)}));
        Registry& registry = context.platform.registry();
        {
            RegistryBatch batch(registry);
            for (int i = 0; i < 1000; ++i) {
                const std::string type = "type" + std::to_string(i);
                registry.setValue(HKEY_CLASSES_ROOT, ".x" + std::to_string(i), "", REG_SZ, regString(type));
                registry.setValue(HKEY_CLASSES_ROOT, type + "\\DefaultIcon", "", REG_SZ, regString("C:\\WINDOWS\\SYSTEM\\shell.ico,0"));
            }
            registry.setValue(HKEY_CURRENT_USER, "Software\\Classes\\CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\Defaulticon",
                              "", REG_SZ, regString("C:\\WINDOWS\\SYSTEM\\shell.ico,0"));
            registry.setValue(HKEY_CURRENT_USER, "Control Panel\\Cursors", "Arrow", REG_SZ, regString(""));
            registry.setValue(HKEY_CURRENT_USER, "Control Panel\\Desktop\\WindowMetrics", "Shell Icon Size", REG_SZ, regString("32"));
        }
        QDir().mkpath(root.host(QStringLiteral("C:\\WINDOWS")) + QStringLiteral("/Desktop"));
        writeShortcut(context.platform.paths(), QStringLiteral("C:\\WINDOWS\\Desktop\\Viewer.lnk"),
                      ShortcutFields{icon, QStringLiteral("C:\\"), QStringLiteral("/s"), icon, 0, 1});
        targets = changer::listChangeTargets(session);
        icon32 = QImage(32, 32, QImage::Format_ARGB32);
        icon32.fill(qRgba(40, 120, 200, 255));
    }
    changer::ChangeTarget target(const char* kind, const char* name)
    {
        const changer::ChangeTarget* found = changer::findChangeTarget(targets, QLatin1StringView(kind), QLatin1StringView(name));
        return found ? *found : changer::ChangeTarget{};
    }

    std::vector<changer::ChangeTarget> targets;
    QImage icon32;
};

Installation& installation()
{
    static Installation made;
    return made;
}

void apply(benchmark::State& state, const char* kind, const char* name)
{
    Installation& at = installation();
    changer::ChangeTarget target = at.target(kind, name);
    changer::ChangeApplier applier(at.context);
    const changer::NewIcon icon{{at.icon32}, false};
    for (auto _ : state) {
        if (!applier.apply(target, &icon).changed)
            state.SkipWithError("not applied");
    }
}

void BM_ApplySystemIcon(benchmark::State& state) { apply(state, "system", "My Computer"); }
BENCHMARK(BM_ApplySystemIcon)->Unit(benchmark::kMillisecond);
void BM_ApplyFileType(benchmark::State& state) { apply(state, "filetype", ".x500"); }
BENCHMARK(BM_ApplyFileType)->Unit(benchmark::kMillisecond);
void BM_ApplyShortcut(benchmark::State& state) { apply(state, "shortcut", "C:\\WINDOWS\\Desktop\\Viewer.lnk"); }
BENCHMARK(BM_ApplyShortcut)->Unit(benchmark::kMillisecond);
void BM_ApplyCursor(benchmark::State& state) { apply(state, "cursor", "Arrow"); }
BENCHMARK(BM_ApplyCursor)->Unit(benchmark::kMillisecond);

void BM_ApplyAnimatedCursor8Frames(benchmark::State& state)
{
    Installation& at = installation();
    changer::ChangeTarget target = at.target("cursor", "Arrow");
    changer::ChangeApplier applier(at.context);
    const changer::NewIcon icon{std::vector<QImage>(8, at.icon32), true};
    for (auto _ : state) {
        if (!applier.apply(target, &icon).changed)
            state.SkipWithError("not applied");
    }
}
BENCHMARK(BM_ApplyAnimatedCursor8Frames)->Unit(benchmark::kMillisecond);

void BM_NextFreeNumberOf4999(benchmark::State& state)
{
    glyphary::testing::TempRoot root;
    const QString folder = root.host(QStringLiteral("C:\\WINDOWS")) + QStringLiteral("/Icons");
    QDir().mkpath(folder);
    for (int number = 1; number <= 4999; ++number)
        QFile(folder + QStringLiteral("/%1.ico").arg(number)).open(QIODevice::WriteOnly);
    const changer::IconsFolder icons(root.platform().paths(), QStringLiteral("C:\\WINDOWS"));
    for (auto _ : state) {
        if (icons.nextFreeName(QStringLiteral("ico")) != QStringLiteral("C:\\WINDOWS\\Icons\\5000.ico"))
            state.SkipWithError("wrong number");
    }
}
BENCHMARK(BM_NextFreeNumberOf4999)->Unit(benchmark::kMillisecond);

// From the command to the cache reminder: folder browser, numbered icon, desktop.ini, attributes.
void BM_ChangeAnyFolder(benchmark::State& state)
{
    Installation& at = installation();
    const QString folder = QStringLiteral("C:\\Data\\Photos");
    QDir().mkpath(at.root.host(QStringLiteral("C:\\Data")) + QStringLiteral("/Photos"));
    at.window.row = SelectedRow{QStringLiteral("Blue"), QStringLiteral("256 Color Icon"), QStringLiteral("Book"),
                                QStringLiteral("book|1"), at.icon32};
    glyphary::testing::ScriptedDialogs& dialogs = at.root.dialogs();
    for (auto _ : state) {
        dialogs.folderAnswers.push_back(folder);
        dialogs.messages.clear();
        dialogs.prompts.clear();
        at.session.run(Command::ChangeFolder);
        if (dialogs.messages.empty())
            state.SkipWithError("no reminder");
    }
}
BENCHMARK(BM_ChangeAnyFolder)->Unit(benchmark::kMillisecond);

void BM_RebuildIconCache(benchmark::State& state)
{
    Installation& at = installation();
    for (auto _ : state) {
        if (!changer::rebuildIconCache(at.session))
            state.SkipWithError("not rebuilt");
    }
}
BENCHMARK(BM_RebuildIconCache)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
