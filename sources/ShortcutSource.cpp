// Shortcuts under the Windows folder's Desktop and Start Menu: each .lnk whose icon comes from an
// icon file or a program is one "shor" item.

#include "sources/WindowsSources.h"

#include "core/AppContext.h"
#include "core/FolderWalker.h"
#include "core/MainSession.h"
#include "core/ShellFolderPaths.h"
#include "platform/ShellFolders.h"
#include "platform/ShortcutFile.h"

#include <QFileInfo>

namespace glyphary::sources {
namespace {

bool isIconFileType(const QString& file)
{
    static const QLatin1String kTypes[] = {QLatin1String(".ani"), QLatin1String(".cur"), QLatin1String(".dll"),
                                           QLatin1String(".exe"), QLatin1String(".icl"), QLatin1String(".ico")};
    const QString ending = file.right(4).toLower();
    for (const QLatin1String& type : kTypes) {
        if (ending == type)
            return true;
    }
    return false;
}

bool leadsOutOfRoot(const platform::WindowsPaths& paths, const QString& folder)
{
    const QFileInfo host(paths.toHost(folder));
    const QString root = QFileInfo(paths.root()).canonicalFilePath() + u'/';
    return host.isSymLink() && !host.canonicalFilePath().startsWith(root);
}

class ShortcutSource : public IconSource {
public:
    explicit ShortcutSource(WindowsListing& listing) : listing_(listing) {}

    void list(const SourceRequest& request) override
    {
        listing_.begin(QStringLiteral("Searching for shortcuts, please wait..."));
        MainSession& session = listing_.session();
        AppContext& context = session.context();
        const platform::WindowsPaths& paths = context.platform.paths();
        ItemList& files = session.lstFiles;
        FolderWalk walk;
        walk.doEvents = [&session] { session.listingHost().doEvents(); };
        const QString folder = folderOf(request.name);
        // Wine links the profile's Desktop to the home folder: only its own shortcuts, not the
        // whole home below it.
        walk.recurse = !leadsOutOfRoot(paths, folder);
        walkFolder(paths, folder, walk, context.AbortFlag, files);
        // Only the shortcuts stay, so that an item's data is its shortcut's position in lstFiles.
        for (int i = files.count() - 1; i >= 0; --i) {
            if (!files.text(i).endsWith(QLatin1String(".lnk"), Qt::CaseInsensitive))
                files.removeAt(i);
        }
        for (int i = 0; i < files.count() && !listing_.aborted(); ++i) {
            const auto shortcut = platform::readShortcut(paths, files.text(i));
            if (!shortcut)
                continue;
            QString iconFile = shortcut->IconFile;
            if (iconFile.isEmpty() || !iconFile.contains(u'\\'))
                iconFile = shortcut->ExeFile;
            iconFile = listing_.registry().expand(iconFile);
            if (isIconFileType(iconFile))
                listing_.add({iconFile, QString::number(shortcut->IconIdx), files.text(i)}, u's', QLatin1String("shor"), i);
        }
        listing_.finish();
    }

private:
    // The shell folder the registry names for "Desktop" or "Start Menu" (on Windows 95 and 98 the
    // Windows folder's own; a Wine prefix keeps them in the user's profile), else the Windows
    // folder's.
    QString folderOf(const QString& subfolder) const
    {
        AppContext& context = listing_.session().context();
        const int csidl = subfolder.compare(u"Desktop", Qt::CaseInsensitive) == 0 ? platform::CSIDL_DESKTOP : platform::CSIDL_STARTMENU;
        const QString shellFolder = cSpecialFolders(context.platform.registry()).path(csidl);
        if (!shellFolder.isEmpty() && QFileInfo(context.platform.paths().toHost(shellFolder.chopped(1))).isDir())
            return shellFolder.chopped(1);
        return context.WindowsFolder + u'\\' + subfolder;
    }

    WindowsListing& listing_;
};

} // namespace

std::unique_ptr<IconSource> makeShortcutSource(WindowsListing& listing)
{
    return std::make_unique<ShortcutSource>(listing);
}

} // namespace glyphary::sources
