// glyphary-change: the icon changer for scripts, over the change window's own code.

#include "changer/ChangeApplier.h"
#include "changer/ChangeTargets.h"
#include "changer/IconCache.h"
#include "changer/IconFromFile.h"
#include "changer/Install.h"
#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/MainWindowPort.h"
#include "core/Settings.h"
#include "core/SplashLoad.h"
#include "platform/ConsoleDialogs.h"
#include "platform/Platform.h"
#include "platform/RootSeeds.h"
#include "platform/WineServer.h"
#include "sources/Install.h"

#include "tools/ConsoleStreams.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

using glyphary::tools::err;
using glyphary::tools::out;

using namespace glyphary;

const char* const kHelp = R"(Usage:
  glyphary-change [OPTIONS] list
  glyphary-change [OPTIONS] set KIND NAME ICONFILE[,INDEX]
  glyphary-change [OPTIONS] default KIND NAME
  glyphary-change --help

Changes the icons and cursors that Windows shows, in the Windows root Glyphary uses ($GLYPHARY_ROOT,
else ~/.local/share/glyphary/root) or in a Wine prefix, exactly as Glyphary's Change window does:
new icons go to numbered files in the Windows folder's Icons folder, a file type's first icon is
kept for Windows Default, and the icon a target used before is deleted only when it was one of
those numbered files.

list     prints every target: KIND, NAME and the icon it uses now, separated by tabs
set      gives the target the icon at INDEX (default 0) of ICONFILE (.ico, .cur, .ani, .exe, .dll,
         .icl; a Windows path such as C:\WINDOWS\x.ico or a path of this system); for a cursor an
         .ani file gives an animated cursor
default  gives the target its Windows default back

KIND is system (NAME as listed, e.g. "My Computer"), filetype (NAME an extension such as .txt),
shortcut (NAME the .lnk file's Windows path) or cursor (NAME a value such as Arrow).

Options:
  --root DIR      the Windows root or Wine prefix
  --os CODE       the Windows version: 95, 98, NT3 or NT4 (default $GLYPHARY_OS, else 98)
  --hotspot X,Y   a static cursor's hot spot, 0 to 31 (default the cursor file's own, else 0,0)
  --rebuild       rebuilds the Windows icon cache afterwards
  --force         changes the registry even while Wine runs in the prefix (Wine writes its own
                  copy back when it ends, undoing the change)

What was written is printed. Exit status 1 on failure, 2 on wrong usage.
)";

int usage(const QString& problem)
{
    err() << "glyphary-change: " << problem << "\nRun glyphary-change --help for the usage." << Qt::endl;
    return 2;
}

int failure(const QString& problem)
{
    err() << "glyphary-change: " << problem << Qt::endl;
    return 1;
}

struct Request {
    QString root;
    QString os;
    std::optional<QPoint> hotspot;
    bool rebuild = false;
    bool force = false;
    QStringList words; // the command and its arguments
};

std::optional<QPoint> parseHotspot(const QString& text)
{
    const QStringList parts = text.split(u',');
    bool okX = false;
    bool okY = false;
    const int x = parts.value(0).toInt(&okX);
    const int y = parts.value(1).toInt(&okY);
    if (parts.size() != 2 || !okX || !okY || x < 0 || y < 0 || x > 31 || y > 31)
        return std::nullopt;
    return QPoint(x, y);
}

// "FILE,INDEX" with an integer after the last comma; otherwise the whole text is the file.
std::pair<QString, int> splitSource(const QString& text)
{
    const qsizetype comma = text.lastIndexOf(u',');
    bool numeric = false;
    const int index = comma < 0 ? 0 : text.mid(comma + 1).toInt(&numeric);
    if (!numeric)
        return {text, 0};
    return {text.left(comma), index};
}

int run(const Request& request)
{
    platform::PlatformConfig config = platform::PlatformConfig::fromEnvironment();
    if (!request.root.isEmpty())
        config.rootHostPath = QFileInfo(request.root).absoluteFilePath();
    if (!request.os.isEmpty())
        config.osSpec = request.os;
    platform::ConsoleDialogs dialogs;
    platform::Platform platform(config, dialogs);
    AppContext context(platform);
    Settings settings(platform.registry());
    QString programFolder = platform.paths().toWindows(QCoreApplication::applicationDirPath());
    splashLoad(context, settings, programFolder.endsWith(u'\\') ? programFolder : programFolder + u'\\');
    QuietMainWindow window;
    MainSession session(context, settings, window);
    sources::install(session);
    changer::install(session);
    session.loadSettings(MainWindowDesign{});

    const std::vector<changer::ChangeTarget> targets = changer::listChangeTargets(session);
    const QString command = request.words.value(0);
    if (command == u"list") {
        for (const changer::ChangeTarget& target : targets)
            out() << changer::kindWord(target.kind) << '\t' << changer::targetName(target) << '\t'
                  << changer::targetLocation(target) << '\n';
        out().flush();
        return 0;
    }

    const QString kind = request.words.value(1);
    const QString name = request.words.value(2);
    const changer::ChangeTarget* found = changer::findChangeTarget(targets, kind, name);
    if (!found)
        return failure(QStringLiteral("no %1 target named \"%2\" in %3 (glyphary-change list shows them all)")
                           .arg(kind, name, platform.paths().root()));
    changer::ChangeTarget target = *found;
    const QString root = platform.paths().root();
    if (target.kind != changer::TargetKind::ShortcutIcon && !request.force && platform::isWinePrefix(root)
        && platform::wineServerRunning(root))
        return failure(QStringLiteral("Wine is running in %1 and would write its registry back over the change when it "
                                      "ends. Close its programs (or run \"wineserver -k\") first, or give --force.")
                           .arg(root));

    changer::ChangeApplier applier(context);
    std::optional<changer::IconFromFile> source;
    if (command == u"set") {
        auto [file, index] = splitSource(request.words.value(3));
        if (file.startsWith(u'/'))
            file = platform.paths().toWindows(QFileInfo(file).absoluteFilePath());
        platform::IconFunctions icons(platform.paths());
        QString problem;
        source = changer::iconFromFile(icons, file, index, changer::isCursor(target.kind), problem);
        if (!source)
            return failure(problem);
        const QPoint hotspot = request.hotspot.value_or(QPoint(source->hotspotX, source->hotspotY));
        context.HotSpotX = hotspot.x();
        context.HotSpotY = hotspot.y();
        if (!changer::isCursor(target.kind))
            source->icon.animated = false;
    }
    const changer::ApplyOutcome outcome = applier.apply(target, source ? &source->icon : nullptr);
    if (!outcome.changed)
        return failure(outcome.error);
    for (const QString& line : outcome.written)
        out() << line << '\n';
    out().flush();
    if (request.rebuild) {
        if (!changer::rebuildIconCache(session))
            return 1;
        out() << "The icon cache was rebuilt.\n";
    } else if (context.SystemIconsNeedRebuild) {
        out() << "Windows shows the new icon once its icon cache is rebuilt (--rebuild).\n";
    }
    out().flush();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    Request request;
    while (!args.isEmpty() && args.first().startsWith(QStringLiteral("--"))) {
        const QString option = args.takeFirst();
        if (option == u"--help") {
            out() << kHelp;
            return 0;
        }
        if (option == u"--rebuild") {
            request.rebuild = true;
        } else if (option == u"--force") {
            request.force = true;
        } else if (option == u"--root" || option == u"--os" || option == u"--hotspot") {
            if (args.isEmpty())
                return usage(option + QStringLiteral(" needs a value"));
            const QString value = args.takeFirst();
            if (option == u"--root")
                request.root = value;
            else if (option == u"--os")
                request.os = value;
            else if (!(request.hotspot = parseHotspot(value)))
                return usage(QStringLiteral("--hotspot takes X,Y with both from 0 to 31"));
        } else {
            return usage(QStringLiteral("unknown option ") + option);
        }
    }
    request.words = args;
    const QString command = args.value(0);
    const int needed = command == u"list" ? 1 : command == u"set" ? 4 : command == u"default" ? 3 : -1;
    if (needed < 0)
        return usage(command.isEmpty() ? QStringLiteral("give list, set or default") : QStringLiteral("unknown command ") + command);
    if (args.size() != needed)
        return usage(QStringLiteral("%1 takes %2 arguments").arg(command).arg(needed - 1));
    if (needed > 1 && !QStringList{"system", "filetype", "shortcut", "cursor"}.contains(args[1]))
        return usage(QStringLiteral("KIND is system, filetype, shortcut or cursor, not ") + args[1]);
    if (!request.root.isEmpty() && !QFileInfo(request.root).isDir())
        return failure(request.root + QStringLiteral(" is not a folder"));
    return run(request);
}
