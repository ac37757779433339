#include "builder/WindowsInstallation.h"

#include "formats/AniCodec.h"
#include "formats/IcoCodec.h"
#include "formats/ShellLink.h"
#include "formats/WineRegistryFile.h"
#include "platform/BuiltInCursors.h"
#include "platform/RootSeeds.h"
#include "core/CursorRoles.h"
#include "sources/SystemIconTable.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QSaveFile>

#include <array>
#include <cmath>
#include <map>

namespace glyphary {
namespace {

using sources::SystemIconVariant;

const QString kWindows = QStringLiteral("C:\\windows");
const QString kCursors = QStringLiteral("C:\\windows\\Cursors\\");
const QString kScreen = QStringLiteral("HKEY_CURRENT_USER");
const QString kClasses = QStringLiteral("HKEY_CLASSES_ROOT");

// Pictures for the icons at these places (file name, index); every other index gets a generic one.
const std::map<QString, QString>& artworkByPlace()
{
    static const std::map<QString, QString> pictures = [] {
        const std::vector<std::pair<const char*, const char*>> list = {
            {"shell32.dll,0", "application-x-executable"}, {"shell32.dll,1", "x-office-document"},
            {"shell32.dll,2", "utilities-terminal"}, {"shell32.dll,3", "folder"}, {"shell32.dll,4", "folder-open"},
            {"shell32.dll,5", "media-floppy"}, {"shell32.dll,6", "media-floppy"}, {"shell32.dll,7", "drive-removable-media"},
            {"shell32.dll,8", "drive-harddisk"}, {"shell32.dll,9", "network-server"}, {"shell32.dll,10", "network-offline"},
            {"shell32.dll,11", "drive-optical"}, {"shell32.dll,12", "media-flash"}, {"shell32.dll,17", "network-workgroup"},
            {"shell32.dll,19", "applications-other"}, {"shell32.dll,20", "folder-saved-search"},
            {"shell32.dll,21", "preferences-system"}, {"shell32.dll,22", "system-search"}, {"shell32.dll,23", "help-browser"},
            {"shell32.dll,24", "start-here"}, {"shell32.dll,25", "system-lock-screen"}, {"shell32.dll,27", "system-shutdown"},
            {"shell32.dll,28", "folder-remote"}, {"shell32.dll,29", "emblem-symbolic-link"}, {"shell32.dll,31", "user-trash"},
            {"shell32.dll,32", "user-trash-full"}, {"shell32.dll,34", "user-desktop"}, {"shell32.dll,35", "preferences-system"},
            {"shell32.dll,36", "applications-accessories"}, {"shell32.dll,37", "printer"}, {"shell32.dll,40", "media-optical"},
            {"shell32.dll,43", "emblem-favorite"}, {"shell32.dll,44", "system-log-out"},
            {"shell32.dll,63", "accessories-text-editor"}, {"shell32.dll,64", "text-x-generic"},
            {"shell32.dll,65", "text-x-script"}, {"explorer.exe,0", "computer"}, {"explorer.exe,1", "system-file-manager"},
            {"rnaui.dll,0", "network-wired"}, {"shdocvw.dll,1", "text-html"}, {"shdocvw.dll,32", "office-calendar"},
            {"occache.dll,0", "folder-remote"}, {"mstask.dll,0", "appointment-new"}, {"mydocs.dll,0", "user-home"},
            {"syncui.dll,0", "folder-saved-search"}, {"notepad.exe,0", "accessories-text-editor"},
            {"pbrush.exe,0", "image-x-generic"}, {"pbrush.exe,1", "image-x-generic"}};
        std::map<QString, QString> out;
        for (const auto& [place, name] : list)
            out.emplace(QString::fromLatin1(place), QString::fromLatin1(name));
        return out;
    }();
    return pictures;
}

QString artworkFor(const QString& location)
{
    QString place = location;
    place.remove(u'"');
    place = place.mid(place.lastIndexOf(u'\\') + 1).toLower();
    if (!place.contains(u','))
        place += QStringLiteral(",0");
    const auto found = artworkByPlace().find(place);
    return found == artworkByPlace().end() ? QStringLiteral("application-x-executable") : found->second;
}

// The table's default for a class's DefaultIcon, when the table has a row for it.
QString tableDefaultIconOf(const QString& className)
{
    const QString key = u'\\' + className + QStringLiteral("\\Defaulticon");
    for (const SystemIconVariant variant : {SystemIconVariant::A, SystemIconVariant::B})
        for (const SystemIconGroup group : {SystemIconGroup::Files, SystemIconGroup::Folders})
            for (const QString& row : sources::systemIconRows(group, variant)) {
                const SystemIconRow split = splitSystemIconRow(row);
                if (split.valueName.isEmpty() && (u'\\' + split.keyPath).endsWith(key, Qt::CaseInsensitive))
                    return split.defaultIcon;
            }
    return {};
}

struct FileType {
    const char* extension;
    const char* className;
    const char* description;
    const char* defaultIcon; // nullptr: the system icon table's default for the class
    const char* openCommand;
};

constexpr std::array<FileType, 8> kFileTypes = {{
    {".txt", "txtfile", "Text Document", nullptr, "C:\\windows\\notepad.exe %1"},
    {".ini", "inifile", "Configuration Settings", nullptr, "C:\\windows\\notepad.exe %1"},
    {".inf", "inffile", "Setup Information", nullptr, "C:\\windows\\notepad.exe %1"},
    {".bat", "batfile", "MS-DOS Batch File", nullptr, "\"%1\" %*"},
    {".com", "comfile", "MS-DOS Application", nullptr, "\"%1\" %*"},
    {".exe", "exefile", "Application", "%1", "\"%1\" %*"}, // drawn from each file: not listed
    {".bmp", "Paint.Picture", "Bitmap Image", "\"C:\\windows\\pbrush.exe\",1", "C:\\windows\\pbrush.exe \"%1\""},
    {".htm", "htmlfile", "HTML Document", "c:\\windows\\system\\shdocvw.dll,1", "C:\\windows\\explorer.exe %1"},
}};

struct Shortcut {
    const char* link; // below C:\windows
    const char* target;
    const char* arguments;
    const char* iconFile; // empty: the target's first icon
    int iconIndex;
};

constexpr std::array<Shortcut, 7> kShortcuts = {{
    {"Desktop\\Notepad.lnk", "C:\\windows\\notepad.exe", "", "", 0},
    {"Desktop\\Paint.lnk", "C:\\windows\\pbrush.exe", "", "C:\\windows\\pbrush.exe", 0},
    {"Desktop\\Windows Explorer.lnk", "C:\\windows\\explorer.exe", "/e,C:\\", "C:\\windows\\explorer.exe", 1},
    {"Start Menu\\Programs\\Accessories\\Notepad.lnk", "C:\\windows\\notepad.exe", "", "", 0},
    {"Start Menu\\Programs\\Accessories\\Paint.lnk", "C:\\windows\\pbrush.exe", "", "C:\\windows\\pbrush.exe", 0},
    {"Start Menu\\Programs\\MS-DOS Prompt.lnk", "C:\\windows\\command.com", "", "c:\\windows\\system\\shell32.dll", 2},
    {"Start Menu\\Programs\\Windows Explorer.lnk", "C:\\windows\\explorer.exe", "", "C:\\windows\\explorer.exe", 0},
}};

std::u16string utf16(const QString& text) { return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())); }

formats::ByteVector shortcutBytes(const Shortcut& shortcut)
{
    formats::ShellLinkFields fields;
    fields.exeFile = utf16(QString::fromLatin1(shortcut.target));
    fields.workDir = utf16(kWindows);
    fields.exeArgs = utf16(QString::fromLatin1(shortcut.arguments));
    fields.iconFile = utf16(QString::fromLatin1(shortcut.iconFile));
    fields.iconIndex = shortcut.iconIndex;
    return formats::writeShellLink(fields);
}

bool isBusy(const CursorRole& role)
{
    return role.resourceNumber == platform::IDC_WAIT || role.resourceNumber == platform::IDC_APPSTARTING;
}

QString cursorFile(const CursorRole& role, bool animated)
{
    return kCursors + cursorValueName(role).toLower() + (animated ? QStringLiteral(".ani") : QStringLiteral(".cur"));
}

formats::IconImage imageOf(const platform::Icon& icon)
{
    formats::IconImage image;
    image.image = icon.image;
    image.hotspotX = icon.hotspotX;
    image.hotspotY = icon.hotspotY;
    return image;
}

// Eight frames: the role's cursor with a ring of dots below right, one dot lit, going round.
formats::ByteVector busyAnimation(const platform::Icon& cursor)
{
    constexpr int kFrames = 8;
    std::vector<formats::IconImage> frames;
    for (int frame = 0; frame < kFrames; ++frame) {
        formats::IconImage image = imageOf(cursor);
        QPainter painter(&image.image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 1));
        for (int dot = 0; dot < kFrames; ++dot) {
            const double angle = dot * 2 * M_PI / kFrames;
            painter.setBrush(dot == frame ? QColor(40, 90, 220) : QColor(Qt::white));
            painter.drawEllipse(QPointF(24 + 5 * std::cos(angle), 24 + 5 * std::sin(angle)), 1.8, 1.8);
        }
        painter.end();
        frames.push_back(std::move(image));
    }
    formats::AniOptions options;
    options.defaultRate = 6;
    options.title = QStringLiteral("Busy");
    auto written = formats::writeAni(frames, 32, options);
    return written ? std::move(*written.value) : formats::ByteVector{};
}

void addCursors(WindowsInstallation& installation)
{
    const QString cursorsKey = QStringLiteral("Control Panel\\Cursors");
    QStringList standard;
    QStringList animated;
    installation.values.push_back({kScreen, cursorsKey, QString(), QString()});
    for (int position = 1; const CursorRole* role = cursorRoleAt(position); ++position) {
        const platform::Icon cursor = platform::drawBuiltInCursor(role->resourceNumber);
        auto still = formats::writeCur(cursor.image, 32, cursor.hotspotX, cursor.hotspotY);
        if (still)
            installation.files.push_back({cursorFile(*role, false), std::move(*still.value)});
        if (isBusy(*role))
            installation.files.push_back({cursorFile(*role, true), busyAnimation(cursor)});
        installation.values.push_back({kScreen, cursorsKey, cursorValueName(*role), cursorFile(*role, isBusy(*role))});
        standard << cursorFile(*role, false);
        // The second scheme animates the busy cursors and leaves the rarely seen ones at the default.
        const bool common = role->resourceNumber == platform::IDC_ARROW || role->resourceNumber == platform::IDC_IBEAM
            || role->resourceNumber == platform::IDC_CROSS;
        animated << (isBusy(*role) ? cursorFile(*role, true) : common ? cursorFile(*role, false) : QString());
    }
    // The icon size the icon cache rebuild moves one up and back.
    installation.values.push_back({kScreen, QStringLiteral("Control Panel\\Desktop\\WindowMetrics"),
                                   QStringLiteral("Shell Icon Size"), QStringLiteral("32")});
    const QString schemes = cursorsKey + QStringLiteral("\\Schemes");
    installation.values.push_back({kScreen, schemes, QStringLiteral("Glyphary Standard"), standard.join(u',')});
    installation.values.push_back({kScreen, schemes, QStringLiteral("Glyphary Animated"), animated.join(u',')});
}

} // namespace

WindowsInstallation defaultWindowsInstallation(const InstallationArtwork& artwork)
{
    WindowsInstallation installation;
    IconExecutableSet icons;
    for (const SystemIconVariant variant : {SystemIconVariant::A, SystemIconVariant::B})
        for (const SystemIconGroup group : {SystemIconGroup::Desktop, SystemIconGroup::Start, SystemIconGroup::Drives,
                                            SystemIconGroup::Folders, SystemIconGroup::Files})
            for (const QString& row : sources::systemIconRows(group, variant)) {
                const QString location = splitSystemIconRow(row).defaultIcon;
                icons.nameLocation(location, artworkFor(location));
            }

    for (const FileType& type : kFileTypes) {
        const QString className = QString::fromLatin1(type.className);
        const QString defaultIcon = type.defaultIcon ? QString::fromLatin1(type.defaultIcon) : tableDefaultIconOf(className);
        installation.values.push_back({kClasses, QString::fromLatin1(type.extension), QString(), className});
        installation.values.push_back({kClasses, className, QString(), QString::fromLatin1(type.description)});
        installation.values.push_back({kClasses, className + QStringLiteral("\\DefaultIcon"), QString(), defaultIcon});
        installation.values.push_back({kClasses, className + QStringLiteral("\\Shell\\Open\\Command"), QString(),
                                       QString::fromLatin1(type.openCommand)});
        if (defaultIcon != QStringLiteral("%1"))
            icons.nameLocation(defaultIcon, artworkFor(defaultIcon));
    }

    for (const Shortcut& shortcut : kShortcuts) {
        const QString iconFile = QString::fromLatin1(*shortcut.iconFile ? shortcut.iconFile : shortcut.target);
        const QString location = iconFile + u',' + QString::number(shortcut.iconIndex);
        if (!iconFile.endsWith(QStringLiteral(".com"), Qt::CaseInsensitive))
            icons.nameLocation(location, artworkFor(location));
        installation.files.push_back({kWindows + u'\\' + QString::fromLatin1(shortcut.link), shortcutBytes(shortcut)});
    }

    for (const IconExecutable& executable : icons.executables())
        installation.files.push_back({executable.windowsPath, iconExecutableBytes(executable, artwork)});
    addCursors(installation);
    return installation;
}

bool writeInstallationTemplate(const WindowsInstallation& installation, const QString& outFolder, QString* error)
{
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    QDir(outFolder).removeRecursively();
    const auto write = [&](const QString& hostPath, formats::Bytes bytes) {
        QDir().mkpath(QFileInfo(hostPath).path());
        QSaveFile file(hostPath);
        return file.open(QIODevice::WriteOnly)
            && file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size())
            && file.commit();
    };
    for (const InstallationFile& file : installation.files) {
        if (!file.windowsPath.startsWith(QStringLiteral("c:\\"), Qt::CaseInsensitive))
            return fail(QStringLiteral("%1 is not on drive C:").arg(file.windowsPath));
        const QString host = outFolder + QStringLiteral("/drive_c/") + file.windowsPath.mid(3).replace(u'\\', u'/');
        if (!write(host, file.bytes))
            return fail(QStringLiteral("%1 could not be written").arg(host));
    }

    // HKEY_CLASSES_ROOT is the machine's Software\Classes; HKEY_USERS\.DEFAULT the default user.
    std::array<formats::WineRegistryDocument, 3> hives = {
        formats::WineRegistryDocument::createNew("\\\\Machine", "win32"),
        formats::WineRegistryDocument::createNew("\\\\User\\\\S-1-5-21-0-0-0-1000", "win32"),
        formats::WineRegistryDocument::createNew("\\\\User\\\\.Default", "win32")};
    constexpr std::uint64_t kTime = formats::kFileTimeUnixEpoch; // fixed, so that builds compare equal
    for (const InstallationValue& value : installation.values) {
        std::size_t hive = 0;
        QString path = value.keyPath;
        if (value.rootName == QStringLiteral("HKEY_CLASSES_ROOT")) {
            path = QStringLiteral("Software\\Classes\\") + path;
        } else if (value.rootName == QStringLiteral("HKEY_CURRENT_USER")) {
            hive = 1;
        } else if (value.rootName == QStringLiteral("HKEY_USERS") && path.startsWith(QStringLiteral(".DEFAULT\\"), Qt::CaseInsensitive)) {
            hive = 2;
            path = path.mid(9);
        } else if (value.rootName != QStringLiteral("HKEY_LOCAL_MACHINE")) {
            return fail(QStringLiteral("%1 is not a root this installation writes").arg(value.rootName));
        }
        formats::ByteVector data;
        for (const QChar unit : value.text)
            formats::putU16le(data, unit.unicode());
        formats::putU16le(data, 0);
        hives[hive].setValue(utf16(path), {utf16(value.valueName), platform::REG_SZ, std::move(data)}, kTime);
    }
    const std::array<QString, 3> hiveFiles = {platform::machineHivePath(outFolder), platform::userHivePath(outFolder),
                                               platform::defaultUserHivePath(outFolder)};
    for (std::size_t i = 0; i < hives.size(); ++i)
        if (!write(hiveFiles[i], hives[i].serialize()))
            return fail(QStringLiteral("%1 could not be written").arg(hiveFiles[i]));
    const QByteArray stamp = QByteArrayLiteral("complete\n");
    if (!write(outFolder + u'/' + platform::kInstallationStampFile,
               formats::Bytes(reinterpret_cast<const std::uint8_t*>(stamp.constData()), static_cast<std::size_t>(stamp.size()))))
        return fail(QStringLiteral("the stamp file could not be written"));
    return true;
}

} // namespace glyphary
