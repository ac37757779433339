#include "sources/OpenAndScan.h"

#include "core/AppContext.h"
#include "core/FolderWalker.h"
#include "core/MainSession.h"
#include "core/MainWindowPort.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "sources/FileIconReader.h"

#include <QElapsedTimer>
#include <QFileInfo>

namespace glyphary {
namespace {

constexpr std::array<QLatin1StringView, kIconFileTypes> kExtensions{
    QLatin1StringView(".ani"), QLatin1StringView(".cur"), QLatin1StringView(".dll"),
    QLatin1StringView(".exe"), QLatin1StringView(".icl"), QLatin1StringView(".ico"),
};

const QString kLibrariesWaitText = QStringLiteral("Searching for icon libraries, please wait...");
const QString kIconsWaitText = QStringLiteral("Searching for icons, please wait...");

} // namespace

int iconFileTypeOf(QStringView path)
{
    if (path.size() < 4)
        return -1;
    const QString last = path.last(4).toString().toLower();
    for (int i = 0; i < kIconFileTypes; ++i)
        if (last == kExtensions[static_cast<std::size_t>(i)])
            return i;
    return -1;
}

bool ScanFilter::accepts(QStringView path) const
{
    const int type = iconFileTypeOf(path);
    return type >= 0 && (all || types[static_cast<std::size_t>(type)]);
}

void filterFiles(ItemList& files, const ScanFilter& filter)
{
    ItemList kept;
    for (const ItemList::Entry& entry : files.entries())
        if (filter.accepts(entry.text))
            kept.add(entry.text, entry.itemData);
    files = std::move(kept);
}

DialogFiles splitDialogFileName(const QString& fileName)
{
    const QStringList parts = fileName.split(QChar(u'\0'), Qt::SkipEmptyParts);
    DialogFiles result;
    if (parts.isEmpty())
        return result;
    if (parts.size() == 1) {
        result.paths << parts[0];
        result.folder = parts[0].left(std::max<qsizetype>(0, parts[0].lastIndexOf(u'\\')));
        return result;
    }
    result.folder = parts[0];
    for (qsizetype i = 1; i < parts.size(); ++i)
        result.paths << parts[0] + u'\\' + parts[i];
    return result;
}

QString dialogFileName(const QStringList& paths)
{
    if (paths.size() <= 1)
        return paths.value(0);
    QString name = paths[0].left(std::max<qsizetype>(0, paths[0].lastIndexOf(u'\\')));
    for (const QString& path : paths)
        name += QChar(u'\0') + path.mid(path.lastIndexOf(u'\\') + 1);
    return name;
}

OpenAndScan::OpenAndScan(MainSession& session, FileIconReader& reader) : session_(session), reader_(reader) {}

void OpenAndScan::openByFile()
{
    AppContext& context = session_.context();
    Settings& settings = session_.settings();
    platform::FileDialogRequest request;
    request.title = QStringLiteral("Open by File");
    request.filter = kOpenFilter;
    request.flags = kOpenFlags;
    request.initialFolder = Settings::toText(settings.read(setting::ScanDirectory));
    MainWindowPort& window = session_.window();
    window.setPanelText(StatusPanel::Message, QStringLiteral("Use CTRL or SHIFT to Multiselect"));
    const auto chosen = context.platform.dialogs().openFile(request);
    window.setPanelText(StatusPanel::Message, QString());
    // Cleared before the answer is looked at, so Cancel leaves no results.
    session_.clearResults();
    const DialogFiles files = splitDialogFileName(chosen ? dialogFileName(chosen->fileNames) : QString());
    for (const QString& path : files.paths)
        session_.lstFiles.add(path, 0);
    if (!files.paths.isEmpty())
        settings.write(setting::ScanDirectory, files.folder);
    begin(kIconsWaitText);
    readAndShow();
}

void OpenAndScan::scan(const ScanRequest& request)
{
    session_.clearResults();
    begin(kLibrariesWaitText);
    session_.listingHost().setMousePointer(ListingPointer::Hourglass);
    if (walk(request.folder, request.subfolders)) {
        filterFiles(session_.lstFiles, request.filter);
        session_.window().setPanelText(StatusPanel::Message,
                                       QString::number(filesChecked_) + QStringLiteral(" files checked, ")
                                           + QString::number(session_.lstFiles.count())
                                           + QStringLiteral(" files matched your filter."));
        readAndShow();
    } else {
        session_.pages().startListing();
    }
    session_.listingHost().setMousePointer(ListingPointer::Default);
}

void OpenAndScan::openPaths(const QString& pathList, QChar separator)
{
    session_.clearResults();
    begin(kLibrariesWaitText);
    const platform::WindowsPaths& paths = session_.context().platform.paths();
    bool aborted = false;
    for (QString piece : pathList.split(separator)) {
        piece = piece.trimmed();
        if (piece.size() >= 2 && piece.startsWith(u'"') && piece.endsWith(u'"'))
            piece = piece.mid(1, piece.size() - 2);
        if (piece.isEmpty() || piece == u"." || piece == u"..")
            continue;
        const QFileInfo info(paths.toHost(piece));
        if (!info.exists())
            continue;
        if (info.isDir()) {
            if (!walk(piece, true)) {
                aborted = true;
                break;
            }
        } else {
            // The lower-cased text still names the file: lookup ignores case.
            session_.lstFiles.add(piece.toLower(), 0);
        }
    }
    if (aborted) {
        session_.pages().startListing();
        return;
    }
    filterFiles(session_.lstFiles, ScanFilter{});
    readAndShow();
}

void OpenAndScan::begin(const QString& status)
{
    session_.context().AbortFlag = kFalse;
    filesChecked_ = 0;
    session_.window().setPanelText(StatusPanel::Message, status);
    session_.window().doEvents();
}

bool OpenAndScan::walk(const QString& folder, bool subfolders)
{
    MainWindowPort& window = session_.window();
    FolderWalk walk;
    walk.recurse = subfolders;
    walk.doEvents = [&window] { window.doEvents(); };
    const int before = filesChecked_;
    walk.progress = [&window, before](const WalkCounts& counts) {
        window.setPanelText(StatusPanel::Count, QString::number(before + counts.files) + QStringLiteral(" files checked"));
    };
    const WalkCounts counts = walkFolder(session_.context().platform.paths(), folder, walk,
                                         session_.context().AbortFlag, session_.lstFiles);
    filesChecked_ += counts.files;
    return session_.context().AbortFlag == kFalse;
}

void OpenAndScan::readAndShow()
{
    MainWindowPort& window = session_.window();
    const ItemList& files = session_.lstFiles;
    const bool progress = files.count() > 1;
    if (progress) {
        window.setProgressMaximum(files.count());
        window.setProgressValue(0);
        window.setProgressBarVisible(true);
    }
    QElapsedTimer sinceShown;
    sinceShown.start();
    for (int i = 0; i < files.count() && session_.context().AbortFlag == kFalse; ++i) {
        reader_.ReadFileIcons(files.text(i));
        if (progress && sinceShown.elapsed() >= 100) {
            window.setProgressValue(i + 1);
            window.doEvents();
            sinceShown.restart();
        }
    }
    if (progress)
        window.setProgressBarVisible(false);
    window.setPanelText(StatusPanel::Count, QString::number(session_.cmbResult.count()) + QStringLiteral(" Icon(s)"));
    window.selectKeywordBarEntry(-1);
    session_.pages().startListing();
}

} // namespace glyphary
