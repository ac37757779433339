// Taking an animation out of the program: the frames of a 100-frame hi-colour .ani collected for
// Play (target with the player's first frame: under 50 ms), and Save As of a 60-frame animation
// as .ani (target: under 100 ms).

#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/Settings.h"
#include "export/Exporter.h"
#include "export/SaveAsDialog.h"
#include "formats/AniCodec.h"
#include "platform/IconFunctions.h"
#include "sources/FileIconReader.h"
#include "support/FakeMainWindow.h"
#include "support/GuiApplication.h"
#include "support/TempRoot.h"
#include "windows/frmAni.h"

#include <QApplication>

#include <QDir>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

using namespace glyphary;

class NoHost : public FileIconReaderHost {
public:
    void showCount(const QString&) override {}
    void doEvents() override {}
};

// An animation of `frames` 32-bit frames, a disc moving across.
formats::ByteVector animation(int frames)
{
    std::vector<formats::IconImage> images;
    for (int n = 0; n < frames; ++n) {
        formats::IconImage frame;
        frame.image = QImage(32, 32, QImage::Format_ARGB32);
        frame.image.fill(Qt::transparent);
        QPainter painter(&frame.image);
        painter.setBrush(QColor::fromHsv((n * 7) % 360, 200, 220));
        painter.drawEllipse(n % 16, 4, 16, 16);
        images.push_back(frame);
    }
    return *formats::writeAni(images, 32, {}).value;
}

// A session whose result list holds the frames of C:\Icons\film.ani, its first frame selected.
struct Film {
    explicit Film(int frames)
    {
        glyphary::testing::ensureGuiApplication();
        context.TempFolder = QStringLiteral("c:\\windows\\temp\\");
        QDir().mkpath(root.host(QStringLiteral("C:\\WINDOWS\\TEMP")));
        QDir().mkpath(root.host(QStringLiteral("C:\\Out")));
        root.writeFile(QStringLiteral("C:\\Icons\\film.ani"), animation(frames));
        NoHost host;
        FileIconReader reader(context.platform.paths(), icons, session.cmbResult, host);
        reader.ReadFileIcons(QStringLiteral("C:\\Icons\\film.ani"));
        window.row = SelectedRow{QStringLiteral("film.ani frame 1"), QStringLiteral("Hi-Color Animation"),
                                 QStringLiteral("File"), session.cmbResult.text(0), QImage(32, 32, QImage::Format_ARGB32)};
        window.shown.backColor = Qt::white;
    }

    glyphary::testing::TempRoot root;
    AppContext context{root.platform()};
    Settings settings{root.platform().registry()};
    glyphary::testing::FakeMainWindow window;
    MainSession session{context, settings, window};
    platform::IconFunctions icons{context.platform.paths()};
    exporting::Exporter exporter{session};
};

void BM_PlayCollects100Frames(benchmark::State& state)
{
    Film film(100);
    for (auto _ : state) {
        if (!film.exporter.collectFrames() || film.context.picFilm.size() != 100)
            return state.SkipWithError("the frames were not collected");
    }
}
BENCHMARK(BM_PlayCollects100Frames)->Unit(benchmark::kMillisecond);

// The whole command: frames collected, the player shown and its first frame painted.
void BM_PlayUntilThePlayerShowsFrameOne(benchmark::State& state)
{
    Film film(100);
    installAnimationPlayer(film.session, film.exporter, nullptr);
    for (auto _ : state) {
        if (!film.session.run(Command::Play))
            return state.SkipWithError("Play did not run");
        QApplication::processEvents();
    }
    for (QWidget* top : QApplication::topLevelWidgets())
        if (qobject_cast<frmAni*>(top))
            top->close();
}
BENCHMARK(BM_PlayUntilThePlayerShowsFrameOne)->Unit(benchmark::kMillisecond);

void BM_SaveAs60FrameAnimation(benchmark::State& state)
{
    Film film(60);
    for (auto _ : state) {
        film.root.dialogs().fileAnswers.push_back(
            platform::FileDialogResult{{QStringLiteral("C:\\Out\\film.ani")}, exporting::EntryAnimation});
        if (!film.exporter.saveAs())
            return state.SkipWithError("the animation was not saved");
    }
}
BENCHMARK(BM_SaveAs60FrameAnimation)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
