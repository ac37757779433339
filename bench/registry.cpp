// The registry layer on a large user hive: one value read through open + query + close (goal under
// 10 microseconds) and one value written through create + set + close, including the atomic save of
// the whole file (goal under 20 ms).

#include "formats/WineRegistryFile.h"
#include "platform/Registry.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <string>

using namespace glyphary::platform;

namespace {

constexpr int kKeys = 3000;
constexpr int kValuesPerKey = 10;

// About 1 MB of hive text in Wine's style.
QByteArray largeUserHive()
{
    std::string text = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win32\n";
    for (int key = 0; key < kKeys; ++key) {
        text += "\n[Software\\\\Bench\\\\Key" + std::to_string(key) + "] 1700000000\n#time=1da1b2c3d4e5f60\n";
        for (int value = 0; value < kValuesPerKey; ++value) {
            const std::string n = std::to_string(value);
            if (value % 2 == 0)
                text += "\"Value" + n + "\"=\"C:\\\\Program Files\\\\Bench\\\\file" + n + ".ico\"\n";
            else
                text += "\"Value" + n + "\"=dword:0000" + std::to_string(1000 + value) + "\n";
        }
    }
    return QByteArray::fromStdString(text);
}

struct BenchRoot {
    QTemporaryDir dir;
    RegistryFiles files;
    Registry registry;

    BenchRoot()
        : files{dir.filePath(QStringLiteral("system.reg")), dir.filePath(QStringLiteral("user.reg")),
                dir.filePath(QStringLiteral("userdef.reg"))},
          registry(files, KeyDeletion::RefuseWithSubkeys)
    {
        QFile file(files.user);
        if (file.open(QIODevice::WriteOnly))
            file.write(largeUserHive());
    }
};

void BM_ReadOneValue(benchmark::State& state)
{
    BenchRoot root;
    std::vector<std::uint8_t> data;
    for (auto _ : state) {
        HKEY key = 0;
        root.registry.RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Bench\\Key1500", 0, KEY_ALL_ACCESS_LOW, &key);
        DWORD type = 0;
        root.registry.RegQueryValueExA(key, "Value4", &type, &data);
        root.registry.RegCloseKey(key);
        benchmark::DoNotOptimize(data.data());
    }
    state.counters["hiveBytes"] = static_cast<double>(QFile(root.files.user).size());
}
BENCHMARK(BM_ReadOneValue)->Unit(benchmark::kMicrosecond);

void BM_WriteOneValue(benchmark::State& state)
{
    BenchRoot root;
    std::uint32_t counter = 0;
    for (auto _ : state) {
        HKEY key = 0;
        DWORD disposition = 0;
        root.registry.RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Bench\\Key1500", REG_OPTION_NON_VOLATILE,
                                      KEY_ALL_ACCESS_LOW, &key, &disposition);
        const LONG status = root.registry.RegSetValueExA(key, "Counter", REG_DWORD, regDword(++counter));
        root.registry.RegCloseKey(key);
        if (status != ERROR_SUCCESS)
            state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_WriteOneValue)->Unit(benchmark::kMillisecond);

// For reference: reading the whole hive once (what the first call and every outside change cost).
void BM_ParseHive(benchmark::State& state)
{
    const QByteArray text = largeUserHive();
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.constData()),
                                              static_cast<std::size_t>(text.size()));
    for (auto _ : state) {
        auto parsed = glyphary::formats::parseWineRegistry(bytes);
        benchmark::DoNotOptimize(parsed.complete);
    }
}
BENCHMARK(BM_ParseHive)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
