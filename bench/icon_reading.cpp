// Reading icons: every group of a large icon library, Open by File over many small icon files, and
// one Vista-style PNG entry. Targets: 5 ms for the library, 200 ms for 1,000 files, 3 ms for the PNG.

#include "formats/IcoCodec.h"
#include "formats/IconResources.h"
#include "platform/IconFunctions.h"
#include "sources/FileIconReader.h"
#include "support/IconBytes.h"
#include "support/PeBuilder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace glyphary;
using formats::ByteVector;
using formats::ResourceName;

constexpr int kLibraryGroups = 300;
constexpr int kIconFiles = 1000;

// A library like a large system DLL: 300 groups of a 16 x 16 and a 32 x 32 image at 4 and 8 bpp.
ByteVector largeLibrary()
{
    testing::ResourceBuilder builder;
    for (int id = 1; id <= kLibraryGroups; ++id) {
        const auto shade = static_cast<std::uint8_t>(id);
        builder.iconGroup(ResourceName::byId(static_cast<std::uint16_t>(id)),
            {testing::dibImage(4, 16, shade), testing::dibImage(4, 32, shade), testing::dibImage(8, 32, shade)});
    }
    return builder.pe32();
}

void writeFile(const QString& path, const ByteVector& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

class NoHost : public FileIconReaderHost {
public:
    void showCount(const QString&) override {}
    void doEvents() override {}
};

// Parsing the library and decoding the 32 x 32 image of every group, straight from the codecs.
void BM_DecodeEveryGroupOfALibrary(benchmark::State& state)
{
    const ByteVector bytes = largeLibrary();
    for (auto _ : state) {
        const auto resources = formats::parseIconResources(bytes);
        int decoded = 0;
        for (std::size_t i = 0; i < resources->groups(formats::GroupKind::Icon).size(); ++i) {
            const auto group = resources->groupFile(formats::GroupKind::Icon, i);
            const auto icon = formats::parseIco(group.value());
            decoded += icon && icon.value->best(32) ? 1 : 0;
        }
        benchmark::DoNotOptimize(decoded);
        if (decoded != kLibraryGroups)
            state.SkipWithError("a group did not decode");
    }
}
BENCHMARK(BM_DecodeEveryGroupOfALibrary)->Unit(benchmark::kMillisecond);

// The same through ExtractIconA, as the result pages draw a library: count, then every index.
void BM_ExtractEveryIconOfALibrary(benchmark::State& state)
{
    QTemporaryDir dir;
    const platform::WindowsPaths paths(dir.filePath(QStringLiteral("root")));
    const QString host = dir.filePath(QStringLiteral("shell.dll"));
    writeFile(host, largeLibrary());
    const QString file = paths.toWindows(host);
    platform::IconFunctions icons(paths);
    for (auto _ : state) {
        const int count = icons.ExtractIconA(file, -1).status;
        int extracted = 0;
        for (int i = 0; i < count; ++i)
            extracted += icons.ExtractIconA(file, i).status;
        benchmark::DoNotOptimize(extracted);
        if (extracted != kLibraryGroups)
            state.SkipWithError("an icon was not extracted");
    }
}
BENCHMARK(BM_ExtractEveryIconOfALibrary)->Unit(benchmark::kMillisecond);

// Open by File (or a folder scan) over 1,000 single-image .ico files.
void BM_ReadFileIconsOfManyIcoFiles(benchmark::State& state)
{
    QTemporaryDir dir;
    const platform::WindowsPaths paths(dir.filePath(QStringLiteral("root")));
    QDir().mkpath(dir.filePath(QStringLiteral("icons")));
    QStringList files;
    for (int i = 0; i < kIconFiles; ++i) {
        const QString host = dir.filePath(QStringLiteral("icons/icon%1.ico").arg(i));
        writeFile(host, testing::icoFile({testing::dibImage(i % 2 == 0 ? 4 : 8, 32, static_cast<std::uint8_t>(i))}));
        files.append(paths.toWindows(host));
    }
    platform::IconFunctions icons(paths);
    NoHost host;
    for (auto _ : state) {
        ItemList cmbResult;
        FileIconReader reader(paths, icons, cmbResult, host);
        for (const QString& file : files)
            reader.ReadFileIcons(file);
        if (cmbResult.count() != kIconFiles)
            state.SkipWithError("a file gave no item");
    }
}
BENCHMARK(BM_ReadFileIconsOfManyIcoFiles)->Unit(benchmark::kMillisecond);

// One 256 x 256 PNG entry, as Vista-style icons store their largest image.
void BM_DecodePngEntry(benchmark::State& state)
{
    QImage picture(256, 256, QImage::Format_ARGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            picture.setPixel(x, y, qRgba(x, y, (x * y) & 0xFF, (x + y) / 2));
    const ByteVector png = test::pngBytes(picture);
    for (auto _ : state) {
        const auto image = formats::decodeIconImage(png);
        if (!image)
            state.SkipWithError("the PNG did not decode");
        benchmark::DoNotOptimize(image.value);
    }
}
BENCHMARK(BM_DecodePngEntry)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
