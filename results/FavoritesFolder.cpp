#include "results/FavoritesFolder.h"

#include "core/FolderWalker.h"
#include "core/ItemList.h"
#include "platform/WindowsPaths.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace glyphary::results {
namespace {

const QString kIllegalCharacters = QStringLiteral("\\/:*?\"<>|");

QString lastFour(const QString& path)
{
    return path.right(4).toLower();
}

QString nameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(u'\\') + 1);
}

std::string hostBytes(const QString& hostPath)
{
    return hostPath.toStdString();
}

// Removes the folder `name` of the open folder `parentFd` with everything below it. Entries are
// looked at without following links: a link is removed as itself, so nothing outside is touched.
// What stays is added to `failed` by its Windows path.
bool removeTree(int parentFd, const std::string& name, const QString& windowsPath, QStringList& failed)
{
    const int fd = ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        failed << windowsPath;
        return false;
    }
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        failed << windowsPath;
        return false;
    }
    std::vector<std::pair<std::string, bool>> entries;
    while (const dirent* entry = ::readdir(dir)) {
        const char* entryName = entry->d_name;
        if (entryName[0] == '.' && (entryName[1] == 0 || (entryName[1] == '.' && entryName[2] == 0)))
            continue;
        struct stat info{};
        const bool folder = ::fstatat(::dirfd(dir), entryName, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
        entries.emplace_back(entryName, folder);
    }
    const std::size_t failedBefore = static_cast<std::size_t>(failed.size());
    for (const auto& [entryName, folder] : entries) {
        const QString child = windowsPath + u'\\' + QString::fromStdString(entryName);
        if (folder)
            removeTree(::dirfd(dir), entryName, child, failed);
        else if (::unlinkat(::dirfd(dir), entryName.c_str(), 0) != 0)
            failed << child;
    }
    ::closedir(dir);
    if (::unlinkat(parentFd, name.c_str(), AT_REMOVEDIR) != 0) {
        if (static_cast<std::size_t>(failed.size()) == failedBefore)
            failed << windowsPath;
        return false;
    }
    return true;
}

bool isInside(const QString& canonicalFolder, const QString& canonicalRoot)
{
    return canonicalFolder == canonicalRoot || canonicalFolder.startsWith(canonicalRoot + u'/');
}

} // namespace

QString keyOfFolder(const QString& relativeFolder)
{
    return kFavoritesKey + relativeFolder;
}

QString relativeFolderOfKey(const QString& key)
{
    return key.mid(kFavoritesKey.size());
}

FolderNameProblem checkFolderName(const QString& name)
{
    if (name.isEmpty())
        return FolderNameProblem::Empty;
    if (name.trimmed().isEmpty())
        return FolderNameProblem::OnlyBlanks;
    for (QChar c : name) {
        if (kIllegalCharacters.contains(c) || c.unicode() < 32)
            return FolderNameProblem::IllegalCharacter;
    }
    if (name == u"." || name == u"..")
        return FolderNameProblem::DotName;
    return FolderNameProblem::None;
}

QString folderNameMessage(FolderNameProblem problem, const QString& name)
{
    switch (problem) {
    case FolderNameProblem::None:
    case FolderNameProblem::Empty:
        return {};
    case FolderNameProblem::OnlyBlanks:
        return QStringLiteral("A Favorite Folder name needs more than blanks.\rPlease give another name.");
    case FolderNameProblem::IllegalCharacter:
        return QStringLiteral("The Favorite Folder name \"") + name
            + QStringLiteral("\" contains illegal characters, do not use \\/:*?\"<>| characters.\rPlease give another name.");
    case FolderNameProblem::DotName:
        return QStringLiteral("\".\" and \"..\" cannot name a Favorite Folder.\rPlease give another name.");
    }
    return {};
}

bool isListedFavorite(const QString& path)
{
    static const QStringList kExtensions{QStringLiteral(".ico"), QStringLiteral(".cur"), QStringLiteral(".ani"),
                                         QStringLiteral(".exe"), QStringLiteral(".dll"), QStringLiteral(".icl")};
    return kExtensions.contains(lastFour(path));
}

bool isKeywordFavorite(const QString& path, const QString& keyword)
{
    const QString extension = lastFour(path);
    if (extension != u".ani" && extension != u".cur" && extension != u".ico")
        return false;
    const QString name = nameOf(path);
    return name.size() == keyword.size() + 4 && QStringView(name).chopped(4) == keyword;
}

FavoritesFolder::FavoritesFolder(const platform::WindowsPaths& paths, std::function<QString()> root)
    : paths_(paths), root_(std::move(root))
{
}

QString FavoritesFolder::keyOfFolderPath(const QString& folder) const
{
    const QString base = root();
    if (!folder.startsWith(base, Qt::CaseInsensitive))
        return {};
    const QString rest = folder.mid(base.size());
    if (!rest.isEmpty() && !rest.startsWith(u'\\'))
        return {};
    return keyOfFolder(rest.endsWith(u'\\') ? rest.chopped(1) : rest);
}

bool FavoritesFolder::ensureExists() const
{
    const QString host = paths_.toHost(root());
    if (host.isEmpty())
        return false;
    const QFileInfo info(host);
    if (!info.exists() && !QDir().mkpath(host))
        return false;
    return QFileInfo(host).isDir() && QFileInfo(host).isReadable() && QDir(host).isReadable();
}

std::vector<SourceNode> FavoritesFolder::scanNodes(const Flag& abort, const std::function<void()>& doEvents,
                                                   const QStringList& expanded) const
{
    std::vector<SourceNode> nodes;
    const QString base = root();
    FolderWalk walk;
    walk.recurse = true;
    walk.doEvents = doEvents;
    walk.enterFolder = [&](const QString& folder) {
        const QString relative = folder.mid(base.size());
        const qsizetype cut = relative.lastIndexOf(u'\\');
        SourceNode node;
        node.key = keyOfFolder(relative);
        node.caption = relative.mid(cut + 1);
        node.image = kFolderImage;
        node.selectedImage = kOpenFolderImage;
        node.parentKey = keyOfFolder(relative.left(cut));
        node.expanded = expanded.contains(node.key);
        node.sorted = true;
        nodes.push_back(std::move(node));
    };
    // The pattern "mrk.mrk" names no icon file: only the folders count.
    ItemList files;
    walkFolder(paths_, base, walk, abort, files);
    return nodes;
}

void FavoritesFolder::scanFiles(const QString& folder, const Flag& abort, const std::function<void()>& doEvents,
                                ItemList& files) const
{
    FolderWalk walk;
    walk.recurse = false;
    walk.doEvents = doEvents;
    walkFolder(paths_, folder, walk, abort, files);
}

CreatedFolder FavoritesFolder::createFolder(const QString& parentKey, const QString& name) const
{
    CreatedFolder created;
    const QString parent = folderOfKey(parentKey);
    const QString parentHost = paths_.toHost(parent);
    if (parentHost.isEmpty() || !QFileInfo(parentHost).isDir()) {
        created.error = QStringLiteral("The folder ") + parent + QStringLiteral(" is not there any more.");
        return created;
    }
    const QString host = paths_.toHost(parent + u'\\' + name);
    const QFileInfo info(host);
    if (info.isDir()) {
        created.ok = true;
        created.existed = true;
        created.key = parentKey + u'\\' + info.fileName();
        return created;
    }
    if (info.exists() || info.isSymLink()) {
        created.error = QStringLiteral("A file named \"") + info.fileName() + QStringLiteral("\" is already there.");
        return created;
    }
    if (::mkdir(hostBytes(host).c_str(), 0777) != 0) {
        created.error = QString::fromLocal8Bit(std::strerror(errno));
        return created;
    }
    created.ok = true;
    created.key = parentKey + u'\\' + name;
    return created;
}

RemovedFolder FavoritesFolder::removeFolder(const QString& key) const
{
    RemovedFolder result;
    const QString relative = relativeFolderOfKey(key);
    const QStringList parts = relative.split(u'\\');
    // "\A\B": an empty first part, then names.
    bool plain = key.startsWith(kFavoritesKey) && parts.size() >= 2 && parts.front().isEmpty();
    for (qsizetype i = 1; plain && i < parts.size(); ++i)
        plain = checkFolderName(parts[i]) == FolderNameProblem::None;
    if (!plain) {
        result.refusal = QStringLiteral("Only a folder inside the Favorites folder can be removed.");
        return result;
    }
    const QString rootHost = paths_.toHost(root());
    const QString canonicalRoot = rootHost.isEmpty() ? QString() : QFileInfo(rootHost).canonicalFilePath();
    const QString targetHost = paths_.toHost(root() + relative);
    if (canonicalRoot.isEmpty() || targetHost.isEmpty()) {
        result.refusal = QStringLiteral("The Favorites folder ") + root() + QStringLiteral(" cannot be read.");
        return result;
    }
    const QFileInfo target(targetHost);
    // The folder it is in, with every link resolved, must be the favorites folder or inside it.
    const QString canonicalParent = target.dir().canonicalPath();
    if (canonicalParent.isEmpty()) {
        result.removed = !target.exists() && !target.isSymLink();
        return result;
    }
    if (!isInside(canonicalParent, canonicalRoot)) {
        result.refusal = QStringLiteral("The folder ") + root() + relative
            + QStringLiteral(" leads out of the Favorites folder and is not removed.");
        return result;
    }
    const int parentFd = ::open(hostBytes(canonicalParent).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0) {
        result.notRemoved << root() + relative;
        return result;
    }
    const std::string name = hostBytes(target.fileName());
    struct stat info{};
    if (::fstatat(parentFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        // Gone already.
        result.removed = errno == ENOENT;
        if (!result.removed)
            result.notRemoved << root() + relative;
    } else if (!S_ISDIR(info.st_mode)) {
        // A link shown as a folder: the link goes, what it points at stays.
        result.removed = ::unlinkat(parentFd, name.c_str(), 0) == 0;
        if (!result.removed)
            result.notRemoved << root() + relative;
    } else {
        result.removed = removeTree(parentFd, name, root() + relative, result.notRemoved);
    }
    ::close(parentFd);
    return result;
}

} // namespace glyphary::results
