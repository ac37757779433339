// The core library on a member of 200 icons (a 512 x 416 picture) built by the catalogue builder:
// first use of the member, unpacked from its encrypted archive and loaded (goal under 20 ms);
// asking again for the member loaded last (no file is touched: near zero); and switching back to a
// member unpacked before (loaded from its file only).

#include "core/AppContext.h"
#include "builder/CatalogueBuilder.h"
#include "sources/CoreLibrary.h"
#include "support/TempRoot.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>

#include <cstdint>

using namespace glyphary;

namespace {

constexpr int kIcons = 400; // two members of 200
const QString kProgram = QStringLiteral("C:\\Glyphary\\");
const QString kTemp = QStringLiteral("c:\\windows\\temp\\");

// Icon-like pictures: flat areas, shading, a few specks and a transparent margin, so that a member
// packs to about a sixth of its size as the demo catalogue's Tango members do (the unpacking cost
// grows with the packed size).
QImage benchIcon(int seed)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    std::uint32_t state = static_cast<std::uint32_t>(seed) * 2654435761u;
    for (int y = 2; y < 30; ++y)
        for (int x = 2; x < 30; ++x) {
            state = state * 1664525u + 1013904223u;
            const int shade = (x + y) / 3;                                   // smooth shading
            const int speck = (state >> 27) == 0 ? static_cast<int>(state >> 20) % 64 : 0; // 1 pixel in 32
            const int part = (x / 8 + y / 8 + seed) % 5;                     // flat areas
            image.setPixel(x, y, qRgb((part * 50 + shade + speck) % 256, (part * 90 + shade) % 256, (seed * 7 + shade * 2) % 256));
        }
    return image;
}

class Fixture {
public:
    Fixture() : context(root.platform())
    {
        context.ProgramFolder = kProgram;
        context.TempFolder = kTemp;
        QDir().mkpath(root.host(kTemp));
        std::vector<CatalogueSource> sources;
        for (int i = 0; i < kIcons; ++i) {
            CatalogueSource source;
            source.frames = {benchIcon(i)};
            source.keywords = {QStringLiteral("bench")};
            sources.push_back(source);
        }
        const CatalogueBuildResult built = buildCatalogue(sources, root.host(kProgram.chopped(1)));
        ok = built.ok;
        archiveBytes = built.summary.bytes;
    }

    void removeUnpacked() const
    {
        QFile::remove(root.host(kTemp + QStringLiteral("1.lib")));
        QFile::remove(root.host(kTemp + QStringLiteral("2.lib")));
    }

    testing::TempRoot root;
    AppContext context;
    bool ok = false;
    qint64 archiveBytes = 0;
};

void BM_FirstUseOfMember(benchmark::State& state)
{
    Fixture fixture;
    for (auto _ : state) {
        state.PauseTiming();
        fixture.removeUnpacked();
        CoreLibrary library(fixture.context);
        state.ResumeTiming();
        library.MakeLibraryCurrent(QStringLiteral("1"));
        if (!library.libraryAvailable())
            state.SkipWithError("the member did not load");
        benchmark::DoNotOptimize(library.GraphicCell(199));
    }
    if (!fixture.ok)
        state.SkipWithError("the catalogue could not be built");
    state.counters["catalogue_bytes"] = static_cast<double>(fixture.archiveBytes);
}
BENCHMARK(BM_FirstUseOfMember)->Unit(benchmark::kMillisecond);

void BM_SameMemberAgain(benchmark::State& state)
{
    Fixture fixture;
    CoreLibrary library(fixture.context);
    library.MakeLibraryCurrent(QStringLiteral("1"));
    for (auto _ : state) {
        library.MakeLibraryCurrent(QStringLiteral("1"));
        benchmark::DoNotOptimize(library.libraryAvailable());
    }
    if (library.unpackCount() != 1)
        state.SkipWithError("the member was unpacked again");
}
BENCHMARK(BM_SameMemberAgain)->Unit(benchmark::kMicrosecond);

// A page mixing two members: each switch loads the other member's file again.
void BM_SwitchBetweenUnpackedMembers(benchmark::State& state)
{
    Fixture fixture;
    CoreLibrary library(fixture.context);
    library.MakeLibraryCurrent(QStringLiteral("1"));
    library.MakeLibraryCurrent(QStringLiteral("2"));
    bool first = true;
    for (auto _ : state) {
        library.MakeLibraryCurrent(first ? QStringLiteral("1") : QStringLiteral("2"));
        first = !first;
        benchmark::DoNotOptimize(library.picture());
    }
    if (library.unpackCount() != 2)
        state.SkipWithError("a member was unpacked again");
}
BENCHMARK(BM_SwitchBetweenUnpackedMembers)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
