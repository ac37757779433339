// The main window, headless: its load with the demo catalogue, page fills of catalogue icons and of
// a DLL's icons, and the start of a large listing.

#include "core/AppContext.h"
#include "core/Settings.h"
#include "app/Startup.h"
#include "app/frmMain.h"
#include "builder/CatalogueBuilder.h"
#include "builder/DemoCatalogue.h"
#include "platform/SingleInstance.h"
#include "support/GuiApplication.h"
#include "support/PeBuilder.h"
#include "support/TempRoot.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <map>

using namespace glyphary;
using glyphary::testing::TempRoot;

namespace {

constexpr int kMembers = 20;
constexpr int kCellsPerMember = 200;

QImage syntheticIcon(int n)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setBrush(QColor::fromHsv((n * 37) % 360, 200, 220));
    painter.drawEllipse(2 + n % 5, 2 + n % 7, 24, 24);
    return image;
}

// One program folder per process: a catalogue of 20 full members and a 300-icon DLL.
struct Fixture {
    Fixture()
    {
        glyphary::testing::ensureGuiApplication();
        root = std::make_unique<TempRoot>();
        context = std::make_unique<AppContext>(root->platform());
        settings = std::make_unique<Settings>(root->platform().registry());
        splashLoad(*context, *settings, QStringLiteral("C:\\Glyphary"));
        const QString program = root->host(QStringLiteral("C:\\Glyphary"));
        QDir().mkpath(program);
        std::vector<CatalogueSource> sources;
        for (int n = 0; n < kMembers * kCellsPerMember; ++n)
            sources.push_back({QString::number(n), CatalogueKind::Icon, {syntheticIcon(n)}, {ColourClass::HiColour},
                               {QStringLiteral("shape%1").arg(n / 50)}});
        buildCatalogue(sources, program);

        glyphary::testing::ResourceBuilder dll;
        for (int id = 1; id <= 300; ++id)
            dll.iconGroup(formats::ResourceName::byId(static_cast<std::uint16_t>(id)),
                          {glyphary::testing::dibImage(8, 32, static_cast<std::uint8_t>(id))});
        const auto bytes = dll.pe32();
        root->writeFile(QStringLiteral("C:\\Lib\\Big.dll"), bytes);

        window = std::make_unique<frmMain>(*context, *settings, mutex, QString());
        window->load();
    }

    // 200 catalogue items, ten from each member in turn.
    void listCatalogueAcrossMembers()
    {
        window->session().cmbResult.clear();
        for (int member = 1; member <= kMembers; ++member)
            for (int cell = 0; cell < kCellsPerMember / kMembers; ++cell)
                window->session().cmbResult.add(QStringLiteral("%1:%2:02book").arg(member).arg(cell * kMembers), 0);
    }

    void removeExtractedMembers()
    {
        QDir temp(root->host(QStringLiteral("C:\\WINDOWS\\TEMP")));
        for (const QString& name : temp.entryList({QStringLiteral("*.lib")}, QDir::Files))
            temp.remove(name);
    }

    std::unique_ptr<TempRoot> root;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<Settings> settings;
    platform::NamedMutex mutex;
    std::unique_ptr<frmMain> window;
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

// A program folder with the demo catalogue (when the theme is installed) and its window.
struct DemoFixture {
    DemoFixture()
    {
        glyphary::testing::ensureGuiApplication();
        context = std::make_unique<AppContext>(root.platform());
        settings = std::make_unique<Settings>(root.platform().registry());
        splashLoad(*context, *settings, QStringLiteral("C:\\Glyphary"));
        program = root.host(QStringLiteral("C:\\Glyphary"));
        available = QDir(kTangoThemeFolder).exists()
            && buildDemoCatalogue(kTangoThemeFolder, program).outcome != DemoOutcome::Failed;
    }

    TempRoot root;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<Settings> settings;
    platform::NamedMutex mutex;
    QString program;
    bool available = false;
};

DemoFixture& demo()
{
    static DemoFixture instance;
    return instance;
}

void BM_MainWindowLoadWithDemoCatalogue(benchmark::State& state)
{
    DemoFixture& d = demo();
    if (!d.available)
        state.SetLabel("no Tango theme: no catalogue");
    for (auto _ : state) {
        frmMain window(*d.context, *d.settings, d.mutex, QString());
        window.load();
        benchmark::DoNotOptimize(window.session().cmbResult.count());
    }
}
BENCHMARK(BM_MainWindowLoadWithDemoCatalogue)->Unit(benchmark::kMillisecond);

void BM_ListByLargestLetterOfTheDemo(benchmark::State& state)
{
    DemoFixture& d = demo();
    frmMain window(*d.context, *d.settings, d.mutex, QString());
    window.load();
    std::map<QChar, int> perLetter;
    const auto& table = d.context->keywordTable;
    for (int k = 0; k < table.KeywordCount; ++k)
        if (!table.Keywords[static_cast<std::size_t>(k)].isEmpty())
            ++perLetter[table.Keywords[static_cast<std::size_t>(k)][0].toUpper()];
    QChar largest(u'A');
    for (const auto& [letter, count] : perLetter)
        if (letter.isLetter() && count > perLetter[largest])
            largest = letter;
    for (auto _ : state)
        window.session().navigation()->click(QString(largest));
    state.SetLabel(QStringLiteral("letter %1: %2 icons, until page 1 shows").arg(largest).arg(window.session().cmbResult.count()).toStdString());
}
BENCHMARK(BM_ListByLargestLetterOfTheDemo)->Unit(benchmark::kMillisecond);

void BM_ListByTypeOverALargeIndex(benchmark::State& state)
{
    // 3,000 keywords and 100,000 tokens, no archives: the rows show the no-icon picture.
    glyphary::testing::ensureGuiApplication();
    TempRoot root;
    AppContext context(root.platform());
    Settings settings(root.platform().registry());
    splashLoad(context, settings, QStringLiteral("C:\\Glyphary"));
    QByteArray index;
    int token = 0;
    for (int k = 0; k < 3000; ++k) {
        index += "keyword" + QByteArray::number(k);
        for (int t = 0; t < 34 && token < 100000; ++t, ++token)
            index += ';' + QByteArray::number(1 + token % 300) + ':' + QByteArray::number(token / 300) + ":0"
                + QByteArray::number(token % 9);
        index += "\r\n";
    }
    root.writeFile(QStringLiteral("C:\\Glyphary\\Icondata.dat"), index);
    platform::NamedMutex mutex;
    frmMain window(context, settings, mutex, QString());
    window.load();
    for (auto _ : state)
        window.session().navigation()->click(QStringLiteral("Icon256"));
    state.SetLabel(QStringLiteral("%1 icons of type 1, until page 1 shows").arg(window.session().cmbResult.count()).toStdString());
}
BENCHMARK(BM_ListByTypeOverALargeIndex)->Unit(benchmark::kMillisecond);

void BM_FillCataloguePageMembersExtracted(benchmark::State& state)
{
    Fixture& f = fixture();
    f.listCatalogueAcrossMembers();
    f.window->session().pages().startListing();
    for (auto _ : state)
        f.window->session().pages().fillPage();
    state.SetLabel("200 icons from 20 members");
}
BENCHMARK(BM_FillCataloguePageMembersExtracted)->Unit(benchmark::kMillisecond);

void BM_FillCataloguePageFirstTime(benchmark::State& state)
{
    Fixture& f = fixture();
    f.listCatalogueAcrossMembers();
    for (auto _ : state) {
        state.PauseTiming();
        f.removeExtractedMembers();
        // A member still in memory is not unpacked again: start from another one.
        f.window->session().cmbResult.insertAt(0, QStringLiteral("21:0:02book"), 0);
        f.window->session().pages().startListing();
        f.window->session().cmbResult.removeAt(0);
        f.removeExtractedMembers();
        state.ResumeTiming();
        f.window->session().pages().startListing();
    }
    state.SetLabel("200 icons from 20 members, each unpacked first");
}
BENCHMARK(BM_FillCataloguePageFirstTime)->Unit(benchmark::kMillisecond);

void BM_FillPageFromDll(benchmark::State& state)
{
    Fixture& f = fixture();
    f.window->session().cmbResult.clear();
    for (int i = 0; i < 300; ++i)
        f.window->session().cmbResult.add(QStringLiteral("C:\\Lib\\Big.dll;%1;#%2 of 300;dopen").arg(i).arg(i + 1), 0);
    f.window->session().pages().startListing();
    for (auto _ : state)
        f.window->session().pages().fillPage();
    state.SetLabel("200 of a 300-icon DLL");
}
BENCHMARK(BM_FillPageFromDll)->Unit(benchmark::kMillisecond);

void BM_StartListingOf17500(benchmark::State& state)
{
    Fixture& f = fixture();
    f.window->session().cmbResult.clear();
    for (int i = 0; i < 17500; ++i)
        f.window->session().cmbResult.add(QStringLiteral("%1:%2:02book").arg(1 + (i / 200) % kMembers).arg(i % 200), 0);
    for (auto _ : state)
        f.window->session().pages().startListing();
    state.SetLabel("page 1 of 17,500 catalogue items");
}
BENCHMARK(BM_StartListingOf17500)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
