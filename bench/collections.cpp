// The user's collections at full size, in a session with the real readers and a headless window:
// - a keyword search over 3,000 keywords and 100,000 tokens, 1,000 references and "SearchFav" over a
//   favorites folder of 5,000 files, until page 1 shows (target under 100 ms);
// - Refresh of a favorites tree of 2,000 folders (target under 200 ms).

#include "catalogue/Install.h"
#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "platform/IconFunctions.h"
#include "results/Install.h"
#include "sources/FileIconReader.h"
#include "sources/Install.h"
#include "support/FakeMainWindow.h"
#include "support/GuiApplication.h"
#include "support/IconBytes.h"
#include "support/TempRoot.h"

#include <QDir>
#include <benchmark/benchmark.h>

namespace {

using namespace glyphary;

constexpr int kKeywords = 3000;
constexpr int kTokens = 100000;
constexpr int kReferences = 1000;
constexpr int kFavoriteFiles = 5000;
constexpr int kFolders = 2000;
const QString kFav = QStringLiteral("C:\\Fav");

struct Reader : FileIconReaderHost {
    explicit Reader(const platform::WindowsPaths& p) : paths(p), icons(p) {}
    void showCount(const QString&) override {}
    void doEvents() override {}
    const platform::WindowsPaths& paths;
    platform::IconFunctions icons;
};

struct Session {
    Session()
    {
        glyphary::testing::ensureGuiApplication();
        context.ProgramFolder = QStringLiteral("C:\\Glyphary\\");
        context.TempFolder = QStringLiteral("c:\\windows\\temp\\");
        settings.write(setting::FavDir, kFav);
        settings.write(setting::SearchFav, QStringLiteral("True"));
        QDir().mkpath(root.host(kFav));
    }

    void start()
    {
        session = std::make_unique<MainSession>(context, settings, window);
        sources::install(*session);
        session->setFileIconLister([this](const QString& file, ItemList& results) {
            FileIconReader(reader.paths, reader.icons, results, reader).ReadFileIcons(file);
        });
        results::install(*session);
        catalogue::install(*session);
        session->loadSettings(MainWindowDesign{});
        session->rebuildNavigationTree();
    }

    glyphary::testing::TempRoot root;
    AppContext context{root.platform()};
    Settings settings{root.platform().registry()};
    glyphary::testing::FakeMainWindow window;
    Reader reader{root.platform().paths()};
    std::unique_ptr<MainSession> session;
};

void fillCatalogue(AppContext& context)
{
    int token = 0;
    for (int k = 0; k < kKeywords; ++k) {
        QString data;
        const int end = static_cast<int>(static_cast<long long>(kTokens) * (k + 1) / kKeywords);
        for (; token < end; ++token)
            data += QStringLiteral("lib%1:%2:%3%4;").arg(token % 997).arg(token / 997).arg(token % 10).arg(token % 9);
        const QString keyword = QStringLiteral("keyword") + QString::number(k);
        const int number = context.keywordTable.append(keyword, data);
        context.catalogueLists.cmbSearch.add(keyword, number);
        context.catalogueLists.cmbAddKeyword.add(keyword);
    }
    context.CatalogueAvailable = kTrue;
}

void BM_KeywordSearchWithFavoritesUntilPageOne(benchmark::State& state)
{
    Session fixture;
    fillCatalogue(fixture.context);
    const auto icon = glyphary::test::iconFile(1, {{32, 32, 2, 1, 1, glyphary::test::monochromeDib(32, 32)}});
    // 1,000 references, ten of them under the keyword searched, each an icon file on disk.
    CatalogueLists& lists = fixture.context.catalogueLists;
    for (int i = 0; i < kReferences; ++i) {
        const QString file = QStringLiteral("C:\\Refs\\r%1.ico").arg(i);
        if (i % 100 == 0)
            fixture.root.writeFile(file, icon);
        const int keyword = i % 100 == 0 ? 1500 : i % kKeywords;
        lists.lstUser.add(QStringLiteral("keyword") + QString::number(keyword), i);
        lists.cmbUser.add(file + QStringLiteral(";0;x;0user"), i);
    }
    // 5,000 favorites, one of them named after the keyword, and a subfolder that is not searched.
    for (int i = 0; i < kFavoriteFiles - 1; ++i)
        fixture.root.writeFile(kFav + QStringLiteral("\\fav%1.ico").arg(i), icon);
    fixture.root.writeFile(kFav + QStringLiteral("\\keyword1500.ico"), icon);
    fixture.root.writeFile(kFav + QStringLiteral("\\sub\\keyword1500.ico"), icon);
    fixture.start();
    const int position = lists.cmbSearch.findExact(QStringLiteral("keyword1500"));
    for (auto _ : state) {
        fixture.session->navigation()->searchKeyword(position);
        benchmark::DoNotOptimize(fixture.window.rows.size());
    }
    state.counters["results"] = static_cast<double>(fixture.session->cmbResult.count());
    state.counters["rows"] = static_cast<double>(fixture.window.rows.size());
}
BENCHMARK(BM_KeywordSearchWithFavoritesUntilPageOne)->Unit(benchmark::kMillisecond);

void BM_RefreshFavoritesTreeOf2000Folders(benchmark::State& state)
{
    Session fixture;
    // 20 folders of 10 folders of 9 folders: 20 + 200 + 1,800 = 2,020.
    int made = 0;
    for (int a = 0; a < 20; ++a) {
        for (int b = 0; b < 10; ++b) {
            for (int c = 0; c < 9; ++c) {
                QDir().mkpath(fixture.root.host(kFav + QStringLiteral("\\Group %1\\Set %2\\Folder %3").arg(a).arg(b).arg(c)));
                ++made;
            }
        }
    }
    fixture.start();
    for (auto _ : state) {
        fixture.session->run(Command::FavoriteRefresh);
        benchmark::DoNotOptimize(fixture.window.treeKeys.size());
    }
    state.counters["folders"] = static_cast<double>(fixture.window.treeKeys.filter(QStringLiteral("favori\\")).size());
}
BENCHMARK(BM_RefreshFavoritesTreeOf2000Folders)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
