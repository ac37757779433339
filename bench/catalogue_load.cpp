// Loading a full-size catalogue index: 3,000 keywords holding 100,000 tokens. Target: under 50 ms.

#include "core/AppContext.h"
#include "catalogue/CatalogueFiles.h"
#include "support/TempRoot.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kKeywords = 3000;
constexpr int kTokens = 100000;
const QString kFolder = QStringLiteral("C:\\Glyphary\\");

// Tokens spread evenly over the keywords, shaped like the shipped ones (member:image:colour type).
QByteArray buildIndex()
{
    QByteArray bytes;
    bytes.reserve(kTokens * 16 + kKeywords * 16);
    int token = 0;
    for (int k = 0; k < kKeywords; ++k) {
        bytes += "keyword" + QByteArray::number(k);
        const int end = static_cast<int>(static_cast<long long>(kTokens) * (k + 1) / kKeywords);
        for (; token < end; ++token) {
            bytes += ";lib" + QByteArray::number(token % 997) + ':' + QByteArray::number(token % 64) + ':'
                + QByteArray::number(token % 10) + QByteArray::number(token % 9);
        }
        bytes += "\r\n";
    }
    return bytes;
}

void BM_LoadCatalogue(benchmark::State& state)
{
    glyphary::testing::TempRoot root;
    const QByteArray index = buildIndex();
    root.writeFile(kFolder + QStringLiteral("Icondata.dat"), index);
    glyphary::AppContext context(root.platform());
    context.ProgramFolder = kFolder;

    for (auto _ : state) {
        const QString count = glyphary::LoadCatalogue(context);
        benchmark::DoNotOptimize(count);
    }
    if (context.keywordTable.KeywordCount != kKeywords)
        state.SkipWithError("the index did not load in full");
    state.counters["file_bytes"] = static_cast<double>(index.size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * index.size());
}
BENCHMARK(BM_LoadCatalogue)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
