// glyphary-catalogue list: loads a program folder's catalogue and user files the way the program
// does and prints the result list of one listing, in order, one entry a line:
// item TAB item data TAB the Name column's text.

#include "ListCommand.h"

#include "core/AppContext.h"
#include "catalogue/CatalogueFiles.h"
#include "catalogue/CatalogueListings.h"
#include "core/IconSource.h"
#include "core/ListingHost.h"
#include "platform/ConsoleDialogs.h"
#include "platform/Platform.h"
#include "core/ResultItem.h"
#include "catalogue/Install.h"
#include "core/MainSession.h"
#include "core/MainWindowPort.h"
#include "core/Settings.h"
#include "core/SplashLoad.h"
#include "results/Install.h"
#include "sources/Install.h"

#include "tools/ConsoleStreams.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>
#include <memory>
#include <optional>
#include <variant>

namespace {

using glyphary::tools::err;
using glyphary::tools::out;

using namespace glyphary;

const char* const kListHelp = R"(Usage:
  glyphary-catalogue list (--type T | --class C | --letter L | --keyword TEXT | --node KEY)
                          [--program-folder DIR] [--root DIR] [--os CODE]

Prints the result list that the program builds for one listing, in its order, one entry a line:
the result item, TAB, its item data, TAB, the Name column's text.
--type T        the catalogue icons of type code T (0 to 8), then the references of that type
--class C       the references of colour class C (0 16 colours, 1 256 colours, 2 more)
--letter L      the keywords starting with the letter L (A to Z, either case), then the references
--keyword TEXT  as if TEXT were typed into the keyword bar and Enter pressed
--node KEY      as if the navigation tree's node with that key were clicked ("SysAso",
                "SysCurCurrent", "SysShortDesk", "SysDesktop", a scheme's key, ...)
--program-folder DIR
                the folder holding Icondata.dat, Keyuser.dat and Iconuser.dat (default: the folder
                of this program)
--root DIR      the emulated Windows root (a Wine prefix serves); default $GLYPHARY_ROOT, else a
                temporary one. A new root gets the default Windows installation.
--os CODE       the Windows version: 95, 98, NT3, NT4 or P.MAJOR.MINOR (default $GLYPHARY_OS, else 98)
)";

int usage(const QString& problem)
{
    err() << problem << "\nRun glyphary-catalogue list --help for the usage." << Qt::endl;
    return 2;
}

enum class ListingKind { Type, Class, Letter, Keyword, Node };

struct ListRequest {
    ListingKind kind = ListingKind::Type;
    int number = 0;
    QString text;
    QString programFolder;
    QString root;
    QString os;
};

std::optional<int> numberIn(const QString& text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

// The request, or the exit status of a usage error.
std::variant<ListRequest, int> parse(const QStringList& args)
{
    ListRequest request;
    request.programFolder = QCoreApplication::applicationDirPath();
    int listings = 0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& option = args[i];
        if (i + 1 >= args.size())
            return usage(option.startsWith(QStringLiteral("--")) ? option + QStringLiteral(" needs a value")
                                                                 : QStringLiteral("unexpected ") + option);
        const QString& value = args[++i];
        if (option == QStringLiteral("--program-folder")) {
            request.programFolder = value;
            continue;
        }
        if (option == QStringLiteral("--root")) {
            request.root = value;
            continue;
        }
        if (option == QStringLiteral("--os")) {
            request.os = value;
            continue;
        }
        ++listings;
        if (option == QStringLiteral("--type") || option == QStringLiteral("--class")) {
            const bool type = option == QStringLiteral("--type");
            const auto number = numberIn(value, 0, type ? 8 : 2);
            if (!number)
                return usage(option + (type ? QStringLiteral(" needs 0 to 8") : QStringLiteral(" needs 0 to 2")));
            request.kind = type ? ListingKind::Type : ListingKind::Class;
            request.number = *number;
        } else if (option == QStringLiteral("--letter")) {
            const QString letter = value.toUpper();
            if (letter.size() != 1 || letter[0] < u'A' || letter[0] > u'Z')
                return usage(QStringLiteral("--letter needs one letter from A to Z"));
            request.kind = ListingKind::Letter;
            request.text = letter;
        } else if (option == QStringLiteral("--keyword") || option == QStringLiteral("--node")) {
            request.kind = option == QStringLiteral("--node") ? ListingKind::Node : ListingKind::Keyword;
            request.text = value;
        } else {
            return usage(QStringLiteral("unknown option ") + option);
        }
    }
    if (listings != 1)
        return usage(QStringLiteral("give one of --type, --class, --letter, --keyword and --node"));
    return request;
}

// The Name column: the keyword an entry was found through.
QString nameOf(const AppContext& context, const QString& item, std::int32_t itemData)
{
    switch (kindOf(item)) {
    case ResultKind::Book:
        if (itemData >= 0 && itemData < KeywordTable::kCapacity)
            return context.keywordTable.Keywords[static_cast<std::size_t>(itemData)];
        return {};
    case ResultKind::User:
        if (itemData >= 0 && itemData < context.catalogueLists.lstUser.count())
            return context.catalogueLists.lstUser.text(itemData);
        return {};
    default:
        return {};
    }
}

void print(const ItemList& results, const std::function<QString(const ItemList::Entry&)>& name)
{
    for (const ItemList::Entry& entry : results.entries())
        out() << entry.text << '\t' << entry.itemData << '\t' << name(entry) << '\n';
    out().flush();
}

// The session as the program starts it, without windows; the node's click fills its result list.
int listNode(AppContext& context, const QString& key)
{
    Settings settings(context.platform.registry());
    splashLoad(context, settings, context.ProgramFolder);
    QuietMainWindow window;
    MainSession session(context, settings, window);
    sources::install(session);
    results::install(session);
    catalogue::install(session);
    session.loadSettings(MainWindowDesign{});
    LoadCatalogue(context);
    session.rebuildNavigationTree();
    if (!session.navigationTree().find(key)) {
        err() << "error: the navigation tree has no node " << key << Qt::endl;
        return 1;
    }
    session.navigation()->click(key);
    print(session.cmbResult, [&session](const ItemList::Entry& entry) {
        const auto row = session.drawItem(entry.text, entry.itemData);
        return row ? row->name : QString();
    });
    return 0;
}

int runListing(const ListRequest& request)
{
    const QFileInfo folder(request.programFolder);
    if (!folder.isDir()) {
        err() << "error: " << request.programFolder << " is not a folder" << Qt::endl;
        return 1;
    }

    platform::PlatformConfig config = platform::PlatformConfig::fromEnvironment();
    if (!request.os.isEmpty())
        config.osSpec = request.os;
    QTemporaryDir temporaryRoot;
    if (!request.root.isEmpty()) {
        config.rootHostPath = QFileInfo(request.root).absoluteFilePath();
    } else if (QProcessEnvironment::systemEnvironment().value(QStringLiteral("GLYPHARY_ROOT")).isEmpty()) {
        if (!temporaryRoot.isValid()) {
            err() << "error: no temporary folder for the Windows root" << Qt::endl;
            return 1;
        }
        config.rootHostPath = temporaryRoot.path();
    }
    platform::ConsoleDialogs dialogs;
    platform::Platform platform(config, dialogs);
    AppContext context(platform);
    QString programFolder = platform.paths().toWindows(folder.absoluteFilePath());
    if (!programFolder.endsWith(u'\\'))
        programFolder += u'\\';
    context.ProgramFolder = programFolder;
    if (request.kind == ListingKind::Node)
        return listNode(context, request.text);
    LoadCatalogue(context);

    ItemList results;
    QuietListingHost host;
    IconSources sources;
    CatalogueListings listings(context, results, host, sources);
    switch (request.kind) {
    case ListingKind::Type: listings.ListCatalogueByType(static_cast<std::int16_t>(request.number)); break;
    case ListingKind::Class: listings.ListReferencesByClass(static_cast<std::int16_t>(request.number)); break;
    case ListingKind::Letter: listings.ListByLetter(request.text[0]); break;
    case ListingKind::Keyword:
        if (listings.EnterKeyword(request.text, false) < 0)
            err() << "No keyword starts with " << request.text << ": nothing is listed." << Qt::endl;
        break;
    case ListingKind::Node: break; // listed above, by the session
    }

    print(results, [&context](const ItemList::Entry& entry) { return nameOf(context, entry.text, entry.itemData); });
    return 0;
}

} // namespace

int runListCommand(const QStringList& args)
{
    if (args.size() == 1 && (args[0] == QStringLiteral("--help") || args[0] == QStringLiteral("-h"))) {
        out() << kListHelp;
        out().flush();
        return 0;
    }
    const auto parsed = parse(args);
    if (const int* status = std::get_if<int>(&parsed))
        return *status;
    return runListing(std::get<ListRequest>(parsed));
}
