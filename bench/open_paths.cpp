// Open paths over a folder of about 700 programs, as `glyphary FOLDER` does: walk, filter, every
// icon of every file counted, page 1 drawn, warm cache. The folder is Wine's x86_64 PE modules when
// they are installed (libwine) and GLYPHARY_BENCH_GENERATED is not set; otherwise a generated
// tree of 700 PE files of the same sizes.

#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/Settings.h"
#include "sources/Install.h"
#include "sources/OpenAndScan.h"
#include "support/FakeMainWindow.h"
#include "support/IconBytes.h"
#include "support/PeBuilder.h"
#include "support/TempRoot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <benchmark/benchmark.h>

using namespace glyphary;

namespace {

const QString kWineModules = QStringLiteral("/usr/lib/x86_64-linux-gnu/wine/x86_64-windows");
constexpr int kGeneratedFiles = 700;

// Sizes in KiB cycled through by the generated files: Wine's spread, about 640 MB in all.
constexpr int kSizesKiB[] = {24, 60, 110, 180, 300, 420, 650, 900, 1400, 2100, 2600, 4500};

struct Fixture {
    Fixture()
    {
        if (QFileInfo(kWineModules).isDir() && qEnvironmentVariableIsEmpty("GLYPHARY_BENCH_GENERATED")) {
            folder = QStringLiteral("Z:") + QString(kWineModules).replace(u'/', u'\\');
            source = "wine";
            return;
        }
        source = "generated";
        const QString host = root.host(QStringLiteral("C:\\modules"));
        QDir().mkpath(host);
        for (int i = 0; i < kGeneratedFiles; ++i) {
            glyphary::testing::ResourceBuilder builder;
            for (int g = 0; g < i % 4; ++g) // a quarter hold no icon, as in Wine
                builder.iconGroup(formats::ResourceName::byId(static_cast<std::uint16_t>(g + 1)),
                                  {glyphary::testing::dibImage(4), glyphary::testing::dibImage(8), glyphary::testing::dibImage(8, 16)});
            const formats::ByteVector bytes = builder.pe32Plus();
            QFile file(host + QStringLiteral("/module%1.dll").arg(i));
            file.open(QIODevice::WriteOnly);
            file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
            // The rest of the size is code the reader never needs: written, so the cache holds it.
            const qint64 size = qint64{kSizesKiB[i % std::size(kSizesKiB)]} << 10;
            file.write(QByteArray(static_cast<qsizetype>(std::max<qint64>(0, size - file.size())), '\x90'));
        }
        folder = QStringLiteral("C:\\modules");
    }

    glyphary::testing::TempRoot root;
    QString folder;
    const char* source = "";
};

void BM_OpenPathsOverModules(benchmark::State& state)
{
    static Fixture fixture;
    AppContext context{fixture.root.platform()};
    Settings settings{fixture.root.platform().registry()};
    glyphary::testing::FakeMainWindow window;
    MainSession session{context, settings, window};
    OpenAndScan& open = sources::install(session);
    open.openPaths(fixture.folder, QChar(u'\0')); // warms the cache
    for (auto _ : state) {
        open.openPaths(fixture.folder, QChar(u'\0'));
        benchmark::DoNotOptimize(session.cmbResult.count());
    }
    state.SetLabel(fixture.source);
    state.counters["files"] = session.lstFiles.count();
    state.counters["icons"] = session.cmbResult.count();
    if (session.cmbResult.count() == 0)
        state.SkipWithError("no icon listed");
}
BENCHMARK(BM_OpenPathsOverModules)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
