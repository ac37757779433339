// Starting a listing of the whole catalogue (17,500 icons) and showing page 1 of 200. The window's
// own work (drawing, list view rows) is excluded: the fake window only records and the reader draws
// nothing, so this is the page logic's share of the 300 ms goal, which should stay within a few milliseconds.

#include "core/ItemList.h"
#include "core/ResultItem.h"
#include "core/ResultPages.h"
#include "core/TypeTexts.h"

#include "support/FakeMainWindow.h"

#include <benchmark/benchmark.h>

using namespace glyphary;

namespace {

constexpr int kCatalogueIcons = 17500;

// Gives every item its texts without drawing, as the cheapest real reader would.
class TextOnlyReader : public ResultRowReader {
public:
    std::optional<RowResult> readRow(const QString& item, std::int32_t, int) override
    {
        return RowResult{QImage(), item, TypeText(typeCodeOf(item)), QStringLiteral("Glyphary"), QImage()};
    }
};

void BM_StartCatalogueListing(benchmark::State& state)
{
    ItemList results;
    results.reserve(kCatalogueIcons);
    for (int i = 0; i < kCatalogueIcons; ++i) {
        results.add(QStringLiteral("lib%1:%2:%3%4book").arg(i % 997).arg(i % 64).arg(i % 10).arg(i % 9),
                    i % 3000);
    }
    Flag abortFlag = kFalse;
    glyphary::testing::FakeMainWindow view;
    TextOnlyReader reader;
    ResultPages pages(results, abortFlag, view, reader);

    for (auto _ : state) {
        pages.startListing();
        benchmark::DoNotOptimize(pages.pageCount());
    }
    if (pages.pageCount() != kCatalogueIcons / 200 + 1 || !pages.isPageShown())
        state.SkipWithError("page 1 was not shown");
    state.counters["yields_per_page"] =
        benchmark::Counter(static_cast<double>(view.doEventsCalls), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_StartCatalogueListing)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
