// The folder walker over a tree of 100,000 files in 10,000 folders, beside `find TREE -type f`
// counting the same files in the same run.

#include "core/FolderWalker.h"
#include "core/ItemList.h"
#include "platform/WindowsPaths.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace glyphary;

namespace {

constexpr int kFolders = 10000;
constexpr int kFilesPerFolder = 10;

struct Tree {
    Tree() : paths(dir.path())
    {
        // 100 folders of 100 folders, ten files each.
        const QString top = dir.path() + QStringLiteral("/drive_c/tree");
        for (int i = 0; i < kFolders; ++i) {
            const QString folder = top + QStringLiteral("/d%1/e%2").arg(i / 100).arg(i % 100);
            QDir().mkpath(folder);
            for (int f = 0; f < kFilesPerFolder; ++f) {
                QFile file(folder + QStringLiteral("/f%1.ico").arg(f));
                file.open(QIODevice::WriteOnly);
            }
        }
        host = top;
    }
    QTemporaryDir dir;
    platform::WindowsPaths paths;
    QString host;
};

Tree& tree()
{
    static Tree made;
    return made;
}

void BM_WalkTree(benchmark::State& state)
{
    Tree& t = tree();
    const Flag noAbort = kFalse;
    for (auto _ : state) {
        ItemList files;
        walkFolder(t.paths, QStringLiteral("C:\\tree"), FolderWalk{}, noAbort, files);
        if (files.count() != kFolders * kFilesPerFolder)
            state.SkipWithError("wrong count");
    }
}
BENCHMARK(BM_WalkTree)->Unit(benchmark::kMillisecond);

void BM_FindTree(benchmark::State& state)
{
    Tree& t = tree();
    for (auto _ : state) {
        QProcess find;
        find.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("find \"$0\" -type f | wc -l"), t.host});
        find.waitForFinished(-1);
        if (find.readAllStandardOutput().trimmed().toInt() != kFolders * kFilesPerFolder)
            state.SkipWithError("wrong count");
    }
}
BENCHMARK(BM_FindTree)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
