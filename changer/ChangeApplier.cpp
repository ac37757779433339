#include "changer/ChangeApplier.h"

#include "core/AppContext.h"
#include "core/CursorRoles.h"
#include "core/FrameFiles.h"
#include "core/IconPlanes.h"
#include "core/RegistryText.h"
#include "core/Settings.h"
#include "platform/Registry.h"
#include "platform/ShortcutFile.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace glyphary::changer {

using namespace platform;

namespace {

// The icon writer's colour depth for every change: 32-bit with an AND mask, whatever was dropped.
constexpr int kDepth = 16;
constexpr int kFrameJiffies = 20;

const QString kRecycleBinClass = QStringLiteral("CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\Defaulticon");

QString rootName(HKEY root)
{
    switch (root) {
    case HKEY_CLASSES_ROOT: return QStringLiteral("HKEY_CLASSES_ROOT");
    case HKEY_CURRENT_USER: return QStringLiteral("HKEY_CURRENT_USER");
    case HKEY_LOCAL_MACHINE: return QStringLiteral("HKEY_LOCAL_MACHINE");
    case HKEY_USERS: return QStringLiteral("HKEY_USERS");
    default: return QStringLiteral("?");
    }
}

QString locationText(HKEY root, const QString& keyPath, const QString& valueName)
{
    return rootName(root) + u'\\' + keyPath + (valueName.isEmpty() ? QString() : u',' + valueName);
}

bool sameFile(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

struct ChangeApplier::Staged {
    QString finalPath;   // the numbered file the change names
    QString writtenPath; // where the icon was written: the final name, or beside it while the old one is there
};

bool isAnimatedTypeCode(QChar typeCode)
{
    return typeCode == u'3' || typeCode == u'4' || typeCode == u'5' || typeCode == u'9' || typeCode == u'a';
}

ChangeApplier::ChangeApplier(AppContext& context)
    : context_(context), icons_(context.platform.paths(), context.WindowsFolder), writer_(context.platform.paths()),
      reader_(context.platform.paths())
{
}

QString ChangeApplier::recycleBinKey() const
{
    return context_.OsCode == u"98" ? QStringLiteral(".DEFAULT\\Software\\Classes\\") + kRecycleBinClass : kRecycleBinClass;
}

QString ChangeApplier::registryText(HKEY root, const QString& keyPath, const QString& valueName) const
{
    return RegistryText(context_).text(root, keyPath, valueName);
}

Icon ChangeApplier::iconAt(const QString& location)
{
    const IconLocation split = splitIconLocation(location);
    bool numeric = false;
    const int index = split.index.trimmed().toInt(&numeric);
    if (split.file.isEmpty() || !numeric)
        return {};
    Icon large;
    Icon small;
    if (reader_.ExtractIconExA(RegistryText(context_).expand(split.file), index, &large, &small, 1) <= 0)
        return {};
    return large.isNull() ? small : large;
}

Icon ChangeApplier::windowsDefault(const ChangeTarget& target)
{
    switch (target.kind) {
    case TargetKind::FileTypeIcon: {
        QString saved = registryText(HKEY_CLASSES_ROOT, target.keyPath + QStringLiteral("\\GlDefault"), QString());
        if (saved.isEmpty())
            saved = registryText(HKEY_CLASSES_ROOT, target.keyPath + QStringLiteral("\\DefaultIcon"), QString());
        return iconAt(saved);
    }
    case TargetKind::SystemIcon: return iconAt(target.defaultLocation);
    case TargetKind::ShortcutIcon: {
        // The first icon of the program the shortcut starts.
        const auto fields = readShortcut(context_.platform.paths(), target.descriptor);
        return fields ? iconAt(fields->ExeFile + QStringLiteral(",0")) : Icon{};
    }
    case TargetKind::CurrentCursor:
    case TargetKind::AnimatedCursor: {
        const CursorRole* role = cursorRoleOfValue(target.valueName);
        return role ? LoadCursorA(role->resourceNumber) : Icon{};
    }
    }
    return {};
}

ApplyOutcome ChangeApplier::apply(ChangeTarget& target, const NewIcon* icon)
{
    if (icon && icon->frames.empty()) {
        ApplyOutcome outcome;
        outcome.error = QStringLiteral("The icon dropped on New has no picture to write: nothing was changed.");
        return outcome;
    }
    ApplyOutcome outcome;
    switch (target.kind) {
    case TargetKind::FileTypeIcon: outcome = applyFileType(target, icon); break;
    case TargetKind::SystemIcon: outcome = applySystemIcon(target, icon); break;
    case TargetKind::CurrentCursor:
    case TargetKind::AnimatedCursor: outcome = applyCursor(target, icon); break;
    case TargetKind::ShortcutIcon: outcome = applyShortcut(target, icon); break;
    }
    outcome.changed = outcome.error.isEmpty();
    return outcome;
}

ApplyOutcome ChangeApplier::applyFileType(ChangeTarget& target, const NewIcon* icon)
{
    ApplyOutcome outcome;
    if (!RegistryText(context_).keyExists(HKEY_CLASSES_ROOT, target.keyPath)) {
        outcome.error = QStringLiteral("The file type %1 has no class key %2 any more: nothing was changed.")
                            .arg(target.extension, target.keyPath);
        return outcome;
    }
    const QString backupKey = target.keyPath + QStringLiteral("\\GlDefault");
    const QString iconKey = target.keyPath + QStringLiteral("\\DefaultIcon");
    Staged staged;
    if (icon && !stage(staged, *icon, QStringLiteral("ico"), target.iconFile, outcome))
        return outcome;

    context_.platform.registry().beginBatch();
    bool written = true;
    // The setting found first is what Windows Default goes back to, so it is kept once and for good.
    if (registryText(HKEY_CLASSES_ROOT, backupKey, QString()).isEmpty())
        written = setValue(HKEY_CLASSES_ROOT, backupKey, QString(), target.iconFile + u',' + target.iconIndex, outcome);
    if (!icon) {
        const QString saved = registryText(HKEY_CLASSES_ROOT, backupKey, QString());
        if (written && !saved.isEmpty())
            written = setValue(HKEY_CLASSES_ROOT, iconKey, QString(), saved, outcome);
    } else if (written) {
        written = setValue(HKEY_CLASSES_ROOT, iconKey, QString(), staged.finalPath + QStringLiteral(",0"), outcome);
    }
    if (!land(written, staged, target.iconFile, QStringLiteral("the file type ") + target.extension, outcome))
        return outcome;
    const IconLocation now = splitIconLocation(registryText(HKEY_CLASSES_ROOT, iconKey, QString()));
    target.iconFile = now.file;
    target.iconIndex = now.index;
    return outcome;
}

ApplyOutcome ChangeApplier::applySystemIcon(ChangeTarget& target, const NewIcon* icon)
{
    ApplyOutcome outcome;
    // Windows reads only the values it has, so one that is not there is never made.
    if (registryText(target.root, target.keyPath, target.valueName).isEmpty()) {
        outcome.error = QStringLiteral("%1 has no value %2 here: nothing was changed.")
                            .arg(target.title, locationText(target.root, target.keyPath, target.valueName));
        return outcome;
    }
    Staged staged;
    if (icon && !stage(staged, *icon, QStringLiteral("ico"), target.iconFile, outcome))
        return outcome;
    const QString location = icon ? staged.finalPath + QStringLiteral(",0") : target.defaultLocation;

    context_.platform.registry().beginBatch();
    bool written = setValue(target.root, target.keyPath, target.valueName, location, outcome);
    // The empty Recycle Bin is also the key's default icon.
    if (written && target.valueName.compare(QStringLiteral("Empty"), Qt::CaseInsensitive) == 0
        && target.keyPath.compare(recycleBinKey(), Qt::CaseInsensitive) == 0
        && !registryText(target.root, target.keyPath, QString()).isEmpty())
        written = setValue(target.root, target.keyPath, QString(), location, outcome);
    if (!land(written, staged, target.iconFile, target.title, outcome))
        return outcome;
    const IconLocation now = splitIconLocation(location);
    target.iconFile = now.file;
    target.iconIndex = now.index;
    context_.SystemIconsNeedRebuild = kTrue;
    return outcome;
}

ApplyOutcome ChangeApplier::applyCursor(ChangeTarget& target, const NewIcon* icon)
{
    ApplyOutcome outcome;
    Staged staged;
    if (icon && !stage(staged, *icon, icon->animated ? QStringLiteral("ani") : QStringLiteral("cur"), target.iconFile, outcome))
        return outcome;
    context_.platform.registry().beginBatch();
    // An empty value is Windows' own cursor.
    const bool written = setValue(target.root, target.keyPath, target.valueName, icon ? staged.finalPath : QString(), outcome);
    if (!land(written, staged, target.iconFile, QStringLiteral("the cursor ") + target.valueName, outcome))
        return outcome;
    target.iconFile = icon ? staged.finalPath : QString();
    target.iconIndex = QStringLiteral("0");
    return outcome;
}

ApplyOutcome ChangeApplier::applyShortcut(ChangeTarget& target, const NewIcon* icon)
{
    ApplyOutcome outcome;
    const WindowsPaths& paths = context_.platform.paths();
    std::optional<ShortcutFields> fields = readShortcut(paths, target.descriptor);
    if (!fields) {
        outcome.error = QStringLiteral("The shortcut %1 cannot be read: nothing was changed.").arg(target.descriptor);
        return outcome;
    }
    const QString oldFile = fields->IconFile;
    Staged staged;
    if (icon && !stage(staged, *icon, QStringLiteral("ico"), oldFile, outcome))
        return outcome;
    // Without an icon of its own a shortcut shows its target's, which is Windows' default.
    fields->IconFile = icon ? staged.finalPath : QString();
    fields->IconIdx = 0;
    if (!writeShortcut(paths, target.descriptor, *fields)) {
        outcome.error = QStringLiteral("The shortcut %1 could not be written: nothing was changed.").arg(target.descriptor);
        outcome.written.clear();
        discard(staged);
        return outcome;
    }
    outcome.written << (fields->IconFile.isEmpty() ? QStringLiteral("%1: no icon of its own, so its program's").arg(target.descriptor)
                                                   : QStringLiteral("%1: icon %2,0").arg(target.descriptor, fields->IconFile));
    commit(staged, oldFile, outcome);
    outcome.samePath = icon && sameFile(staged.finalPath, oldFile);
    target.iconFile = fields->IconFile.isEmpty() ? fields->ExeFile : fields->IconFile;
    target.iconIndex = QStringLiteral("0");
    context_.SystemIconsNeedRebuild = kTrue;
    return outcome;
}

bool ChangeApplier::stage(Staged& staged, const NewIcon& icon, const QString& extension, const QString& oldFile,
                          ApplyOutcome& outcome)
{
    if (!icons_.make()) {
        outcome.error = QStringLiteral("The folder %1 cannot be made: nothing was changed.").arg(icons_.path());
        return false;
    }
    const std::optional<QString> name = icons_.nextFreeName(extension, oldFile);
    if (!name) {
        outcome.error = QStringLiteral("All %1 numbers for icons in %2 are taken: nothing was changed. "
                                       "Delete icons there that no longer serve, then try again.")
                            .arg(IconsFolder::kHighestNumber)
                            .arg(icons_.path());
        return false;
    }
    staged.finalPath = *name;
    const WindowsPaths& paths = context_.platform.paths();
    staged.writtenPath = QFileInfo::exists(paths.toHost(*name)) ? *name + QStringLiteral(".new") : *name;

    QString failure;
    if (extension == u"ani") {
        FrameFiles frames(context_);
        failure = frames.write(icon.frames, kDepth);
        if (failure.isEmpty())
            failure = frames.joinInto(writer_, staged.writtenPath, kFrameJiffies);
    } else {
        const IconPlanes planes = procMask(iconOf(icon.frames.front()));
        const std::string ansi = ansiName(staged.writtenPath).value_or(std::string());
        const std::int16_t saved = extension == u"cur"
            ? writer_.SaveAsCursor(planes.colour, planes.mask, 32, 32, kDepth, context_.HotSpotX, context_.HotSpotY, ansi)
            : writer_.SaveAsIcon(planes.colour, planes.mask, 32, 32, kDepth, ansi);
        if (saved != Glsave32::kSaved)
            failure = writer_.lastError();
    }
    if (!failure.isEmpty()) {
        outcome.error = QStringLiteral("The icon could not be written to %1: %2. Nothing was changed.").arg(staged.finalPath, failure);
        discard(staged);
        return false;
    }
    outcome.newIconFile = staged.finalPath;
    outcome.written << staged.finalPath;
    return true;
}

void ChangeApplier::commit(const Staged& staged, const QString& oldFile, ApplyOutcome& outcome)
{
    const WindowsPaths& paths = context_.platform.paths();
    if (!staged.writtenPath.isEmpty() && staged.writtenPath != staged.finalPath) {
        // The old file of that name goes in the same step as the new one arrives.
        const QByteArray from = QFile::encodeName(paths.toHost(staged.writtenPath));
        const QByteArray to = QFile::encodeName(paths.toHost(staged.finalPath));
        if (std::rename(from.constData(), to.constData()) != 0) {
            QFile::remove(paths.toHost(staged.writtenPath));
            outcome.error = QStringLiteral("%1 could not be replaced; it still holds the icon used before.").arg(staged.finalPath);
        }
        return;
    }
    if (icons_.isOwnFile(oldFile) && !sameFile(oldFile, staged.finalPath) && QFile::remove(paths.toHost(oldFile)))
        outcome.written << QStringLiteral("removed ") + oldFile;
}

bool ChangeApplier::land(bool written, const Staged& staged, const QString& oldFile, const QString& what,
                         ApplyOutcome& outcome)
{
    if (context_.platform.registry().endBatch() == ERROR_SUCCESS && written) {
        commit(staged, oldFile, outcome);
        return true;
    }
    if (outcome.error.isEmpty())
        outcome.error = QStringLiteral("The registry could not be saved: %1 was not changed.").arg(what);
    outcome.written.clear();
    discard(staged);
    return false;
}

void ChangeApplier::discard(const Staged& staged)
{
    if (!staged.writtenPath.isEmpty())
        QFile::remove(context_.platform.paths().toHost(staged.writtenPath));
}

bool ChangeApplier::setValue(HKEY root, const QString& keyPath, const QString& valueName, const QString& text,
                             ApplyOutcome& outcome)
{
    Settings settings(context_.platform.registry());
    settings.CreateSettingsKey(root, keyPath);
    settings.WriteSetting(valueName, text, REG_SZ);
    if (settings.lastStatus() != ERROR_SUCCESS) {
        outcome.error = QStringLiteral("The registry refused the value %1: nothing was changed.")
                            .arg(locationText(root, keyPath, valueName));
        return false;
    }
    outcome.written << QStringLiteral("%1 = \"%2\"").arg(locationText(root, keyPath, valueName), text);
    return true;
}

} // namespace glyphary::changer
