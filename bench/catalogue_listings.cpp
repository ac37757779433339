// Catalogue listings over a full-size keyword table: 3,000 keywords holding 100,000 tokens.
// Targets: the listing by type under 100 ms; the listing by letter fast even when one letter holds
// every keyword. Measured without a window: the host does nothing.

#include "core/AppContext.h"
#include "catalogue/CatalogueListings.h"
#include "core/IconSource.h"
#include "core/ListingHost.h"
#include "support/TempRoot.h"

#include <benchmark/benchmark.h>

namespace {

using namespace glyphary;

constexpr int kKeywords = 3000;
constexpr int kTokens = 100000;

// Tokens spread evenly over the keywords, shaped like the shipped ones; every fourth token is also
// filed under the next keyword, so the duplicate test has work. Every keyword starts with "k", the
// worst case for the listing by letter.
void fillTable(AppContext& context)
{
    int token = 0;
    for (int k = 0; k < kKeywords; ++k) {
        QString data;
        const int end = static_cast<int>(static_cast<long long>(kTokens) * (k + 1) / kKeywords);
        const int first = token;
        for (; token < end; ++token) {
            data += QStringLiteral("lib%1:%2:%3%4;").arg(token % 997).arg(token / 997).arg(token % 10).arg(token % 9);
            if (k > 0 && (token - first) % 4 == 0) {
                const int shared = token - (end - first);
                data += QStringLiteral("lib%1:%2:%3%4;").arg(shared % 997).arg(shared / 997).arg(shared % 10).arg(shared % 9);
            }
        }
        const QString keyword = QStringLiteral("keyword") + QString::number(k);
        const int number = context.keywordTable.append(keyword, data);
        context.catalogueLists.cmbSearch.add(keyword, number);
    }
}

struct Fixture {
    Fixture() : context(root.platform()), listings(context, results, host, sources) { fillTable(context); }

    glyphary::testing::TempRoot root;
    AppContext context;
    ItemList results;
    QuietListingHost host;
    IconSources sources;
    CatalogueListings listings;
};

void BM_ListCatalogueByType(benchmark::State& state)
{
    Fixture fixture;
    for (auto _ : state) {
        fixture.listings.ListCatalogueByType(1);
        benchmark::DoNotOptimize(fixture.results.count());
    }
    state.counters["entries"] = static_cast<double>(fixture.results.count());
}
BENCHMARK(BM_ListCatalogueByType)->Unit(benchmark::kMillisecond);

void BM_ListByLetterHoldingEveryKeyword(benchmark::State& state)
{
    Fixture fixture;
    for (auto _ : state) {
        fixture.listings.ListByLetter(u'K');
        benchmark::DoNotOptimize(fixture.results.count());
    }
    state.counters["entries"] = static_cast<double>(fixture.results.count());
}
BENCHMARK(BM_ListByLetterHoldingEveryKeyword)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
