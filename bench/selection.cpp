// The selection reaction of the result list, from the selected row to the control settings the
// window applies. It runs on every click and after every page fill, so it must stay far under a
// millisecond; the file on disk case includes the long-name lookup of the selected file.

#include "core/Selection.h"
#include "core/SelectionDispatch.h"
#include "support/TempRoot.h"

#include <benchmark/benchmark.h>

using namespace glyphary;

namespace {

// Proportional letters, as a status bar font measures them.
int pixelWidth(QStringView text)
{
    int width = 0;
    for (QChar c : text)
        width += c.isUpper() ? 8 : 6;
    return width;
}

void react(benchmark::State& state, const SelectedRow& row, const MessagePanel& panel)
{
    SelectionContext context;
    context.pageCount = 88;
    context.folderIconsSupported = true;
    context.doubleClick.play = true;
    context.doubleClick.change = true;
    for (auto _ : state) {
        const SelectionState selection = selectionReaction(row, context, panel);
        const std::vector<ControlSetting> settings = controlSettings(selection);
        benchmark::DoNotOptimize(settings.data());
        benchmark::DoNotOptimize(defaultPopupEntry(selection.doubleClickAction));
    }
}

void BM_SelectCatalogueIcon(benchmark::State& state)
{
    react(state, SelectedRow{"folder", "256 Color Icon", "Glyphary", "shell:12:01book"}, MessagePanel{});
}
BENCHMARK(BM_SelectCatalogueIcon)->Unit(benchmark::kMicrosecond);

void BM_SelectFileWithLongPath(benchmark::State& state)
{
    const QString path = QStringLiteral("C:\\Program Files\\Some Vendor\\Application Suite\\Resources\\Icons\\"
                                        "Animated\\Large\\hourglass spinning.ani");
    const MessagePanel panel{[](const QString& windowsPath) { return windowsPath; }, pixelWidth, 240};
    react(state, SelectedRow{"Wait", "Animated Cursor", "File", path + QStringLiteral(";0;Control Panel\\Cursors\\Wait;gsycu")},
          panel);
}
BENCHMARK(BM_SelectFileWithLongPath)->Unit(benchmark::kMicrosecond);

void BM_SelectFileOnDisk(benchmark::State& state)
{
    glyphary::testing::TempRoot root;
    root.writeFile(QStringLiteral("C:\\Program Files\\Vendor\\Icons\\Large\\Printer.ico"), QByteArray(4, '\0'));
    const platform::WindowsPaths& paths = root.platform().paths();
    const MessagePanel panel{[&](const QString& windowsPath) { return paths.longName(windowsPath); }, pixelWidth, 240};
    const SelectedRow row{"Printer.ico", "16 Color Icon", "File Favorite",
                          QStringLiteral("c:\\program files\\vendor\\icons\\large\\printer.ico;0;x;0open")};
    if (selectionReaction(row, {}, panel).message->isEmpty())
        state.SkipWithError("the file was not found");
    react(state, row, panel);
}
BENCHMARK(BM_SelectFileOnDisk)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
