// Listing small files made to be costly: an .ico of 255 entries on one 1024 x 1024 PNG, an .ani of
// 64 and of 1,024 such frames, a DLL of 200 such groups and one of 2,000 groups of 120 shared DIB
// entries. Target: each under 100 ms (before the reader chose from sizes: 1.6 s to 279 s).

#include "platform/IconFunctions.h"
#include "sources/FileIconReader.h"
#include "support/HostileIcons.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <functional>

namespace {

using namespace glyphary;
using formats::ByteVector;

class NoHost : public FileIconReaderHost {
public:
    void showCount(const QString&) override {}
    void doEvents() override {}
};

// What `glyphary-icons list` does: the reader's items, then the picture of each.
void listFile(benchmark::State& state, const QString& name, const std::function<ByteVector()>& make)
{
    QTemporaryDir dir;
    const QString host = dir.filePath(name);
    {
        QFile file(host);
        const ByteVector bytes = make();
        if (!file.open(QIODevice::WriteOnly))
            return state.SkipWithError("cannot write the file");
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    }
    platform::WindowsPaths paths(dir.filePath(QStringLiteral("root")));
    const QString file = paths.toWindows(host);
    const bool animated = name.endsWith(QStringLiteral(".ani"));
    for (auto _ : state) {
        platform::IconFunctions icons(paths);
        ItemList items;
        NoHost host;
        FileIconReader reader(paths, icons, items, host);
        reader.ReadFileIcons(file);
        const platform::LoadedIcon animation =
            animated ? icons.LoadImageA(file, platform::IMAGE_ICON, 0, 0, platform::LR_LOADFROMFILE) : platform::LoadedIcon();
        for (int i = 0; i < items.count(); ++i) {
            platform::Icon large;
            if (animated)
                large = *animation.iconAtStep(i);
            else
                icons.ExtractIconExA(file, name.endsWith(QStringLiteral(".dll")) ? i : 0, &large, nullptr, 1);
            if (large.width() != 32)
                return state.SkipWithError("an item has no 32 x 32 picture");
        }
        if (items.count() == 0 || icons.wasCutShort(file))
            return state.SkipWithError("the file did not list whole");
        state.counters["items"] = items.count();
    }
}

void BM_IcoOf255SharedPngEntries(benchmark::State& state)
{
    listFile(state, QStringLiteral("shared.ico"), [] { return testing::sharedEntryIcon(255, 1024); });
}
BENCHMARK(BM_IcoOf255SharedPngEntries)->Unit(benchmark::kMillisecond);

void BM_AniOf64SharedFrames(benchmark::State& state)
{
    listFile(state, QStringLiteral("frames.ani"), [] { return testing::sharedEntryAnimation(64, 255, 1024); });
}
BENCHMARK(BM_AniOf64SharedFrames)->Unit(benchmark::kMillisecond);

void BM_AniOf1024SharedFrames(benchmark::State& state)
{
    listFile(state, QStringLiteral("many.ani"), [] { return testing::sharedEntryAnimation(1024, 255, 1024); });
}
BENCHMARK(BM_AniOf1024SharedFrames)->Unit(benchmark::kMillisecond);

void BM_DllOf200SharedPngGroups(benchmark::State& state)
{
    listFile(state, QStringLiteral("groups.dll"), [] { return testing::sharedEntryLibrary(200, 255, 1024); });
}
BENCHMARK(BM_DllOf200SharedPngGroups)->Unit(benchmark::kMillisecond);

void BM_DllOf2000GroupsOf120Dibs(benchmark::State& state)
{
    listFile(state, QStringLiteral("dibs.dll"), [] { return testing::sharedEntryLibrary(2000, 119, 0); });
}
BENCHMARK(BM_DllOf2000GroupsOf120Dibs)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
