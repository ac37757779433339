// glyphary-catalogue: builds Glyphary catalogues (Icondata.dat and the Iconlib*.res archives).

#include "builder/CatalogueBuilder.h"
#include "builder/CatalogueFolderScan.h"
#include "builder/DemoCatalogue.h"
#include "ListCommand.h"

#include "tools/ConsoleStreams.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <cstdio>

namespace {

using glyphary::tools::err;
using glyphary::tools::out;

using namespace glyphary;

const char* const kHelp = R"(Usage:
  glyphary-catalogue build FOLDER OUT [--keywords FILE] [--cells N]
  glyphary-catalogue demo OUT
  glyphary-catalogue --help

build  Makes a catalogue in OUT (Icondata.dat, Iconlib.res, Iconlib1.res, ...) from every .png,
       .ico, .cur and .ani file below FOLDER. Icons are fitted into 32 x 32; pixels less than half
       opaque become transparent. Each icon is stored in the colour class its own colours fit
       (16, 256 or hi colour); .cur files and images below a folder named "cursors" are cursors;
       .ani files are animations (their frames in playing order, in a member of their own).
       Keywords come from the words of the file and folder names ("actions/document-open.png":
       actions, document, open); an image in a subfolder is in the design group of its top-level
       folder ("group actions"). Archive members hold up to N icons (default 200, at most 1024).
--keywords FILE
       UTF-8 text, one rule a line; blank lines and lines starting with "#" are skipped:
         KEYWORD;PATH[;PATH...]        files the images at PATH under KEYWORD; an image named by
                                       such a line gets no keywords from its names
         group NAME;PATH[;PATH...]     puts them in the design group NAME instead of their folder's
         !cursor;PATH[;PATH...]        stores them as cursors
         !classes;LIST;PATH[;PATH...]  stores them in the colour classes LIST: 16, 256 and hi,
                                       comma separated, e.g. !classes;16,256,hi;actions
       PATH is relative to FOLDER ("/" or "\", case ignored); a folder takes every image below it,
       "." all of them.
demo   Makes the demo catalogue in OUT from the Tango icon theme (/usr/share/icons/Tango). Does
       nothing when OUT holds a demo built from the same files, or when the theme is not installed.

The catalogue holds at most 324 members and 2900 keywords (the keyword table keeps room for custom
keywords); beyond that the keywords listing the fewest icons are left out. Name words of one letter,
numbers and words starting with "group" are not keywords. Errors exit with status 1, wrong usage
with status 2.
)";

// A line every 100 items on large runs.
std::function<void(int, int)> progressPrinter(const QString& what)
{
    return [what](int done, int total) {
        if (done % 100 == 0 || (done == total && total >= 100))
            err() << what << ' ' << done << " of " << total << Qt::endl;
    };
}

void printWarnings(const QStringList& warnings)
{
    for (const QString& warning : warnings)
        err() << "warning: " << warning << Qt::endl;
}

void printSummary(const CatalogueSummary& summary, const QString& outFolder, qint64 elapsedMs)
{
    out() << "Catalogue in " << outFolder << ": " << summary.keywords << " keywords, " << summary.tokens << " tokens, "
          << summary.icons << " icons, " << summary.members << " members, " << summary.archives << " archives, "
          << summary.bytes << " bytes (" << elapsedMs << " ms)" << Qt::endl;
}

int usage(const QString& problem)
{
    err() << problem << "\nRun glyphary-catalogue --help for the usage." << Qt::endl;
    return 2;
}

int runBuild(const QStringList& args)
{
    QStringList positional;
    QString keywordFile;
    CatalogueBuildOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if ((arg == QStringLiteral("--keywords") || arg == QStringLiteral("--cells")) && i + 1 >= args.size())
            return usage(arg + QStringLiteral(" needs a value"));
        if (arg == QStringLiteral("--keywords")) {
            keywordFile = args[++i];
        } else if (arg == QStringLiteral("--cells")) {
            bool number = false;
            options.cellsPerMember = args[++i].toInt(&number);
            if (!number)
                return usage(QStringLiteral("--cells needs a number"));
        } else if (arg.startsWith(QStringLiteral("--"))) {
            return usage(QStringLiteral("unknown option ") + arg);
        } else {
            positional.append(arg);
        }
    }
    if (positional.size() != 2)
        return usage(QStringLiteral("build needs FOLDER and OUT"));

    QElapsedTimer timer;
    timer.start();
    const FolderScanResult scan = scanImageFolder(positional[0], keywordFile, progressPrinter(QStringLiteral("read")));
    printWarnings(scan.warnings);
    if (!scan.ok) {
        err() << "error: " << scan.error << Qt::endl;
        return 1;
    }
    options.progress = progressPrinter(QStringLiteral("stored"));
    const CatalogueBuildResult built = buildCatalogue(scan.sources, positional[1], options);
    printWarnings(built.summary.warnings);
    if (!built.ok) {
        err() << "error: " << built.error << Qt::endl;
        return 1;
    }
    printSummary(built.summary, positional[1], timer.elapsed());
    return 0;
}

int runDemo(const QStringList& args)
{
    if (args.size() != 1)
        return usage(QStringLiteral("demo needs OUT"));
    QElapsedTimer timer;
    timer.start();
    const DemoResult result = buildDemoCatalogue(kTangoThemeFolder, args[0], progressPrinter(QStringLiteral("stored")));
    printWarnings(result.summary.warnings);
    switch (result.outcome) {
    case DemoOutcome::NoTheme:
        out() << "The Tango icon theme is not installed (" << kTangoThemeFolder
              << "): no demo catalogue made. Install tango-icon-theme to get one." << Qt::endl;
        return 0;
    case DemoOutcome::UpToDate:
        out() << "The demo catalogue in " << args[0] << " is up to date." << Qt::endl;
        return 0;
    case DemoOutcome::Built:
        printSummary(result.summary, args[0], timer.elapsed());
        return 0;
    case DemoOutcome::Failed:
        break;
    }
    err() << "error: " << result.error << Qt::endl;
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments().mid(1);
    if (args.isEmpty())
        return usage(QStringLiteral("no command given"));
    if (args[0] == QStringLiteral("--help") || args[0] == QStringLiteral("-h") || args[0] == QStringLiteral("help")) {
        out() << kHelp;
        out().flush();
        return 0;
    }
    if (args[0] == QStringLiteral("build"))
        return runBuild(args.mid(1));
    if (args[0] == QStringLiteral("demo"))
        return runDemo(args.mid(1));
    if (args[0] == QStringLiteral("list"))
        return runListCommand(args.mid(1));
    return usage(QStringLiteral("unknown command ") + args[0]);
}
