#include "changer/ChangeTarget.h"

#include "core/CursorRoles.h"
#include "core/ItemList.h"
#include "core/RegistryText.h"
#include "core/ResultItem.h"
#include "core/SystemIconRow.h"

namespace glyphary::changer {
namespace {

const QString kCursorsKey = QStringLiteral("Control Panel\\Cursors");

const TargetKindName* kindNamed(const QString& text)
{
    for (const TargetKindName& name : kTargetKinds) {
        if (text == QLatin1StringView(name.text))
            return &name;
    }
    return nullptr;
}

// "file,index" split at its last comma: the file may hold commas of its own.
void setLocation(ChangeTarget& target, const QString& location)
{
    const qsizetype comma = location.lastIndexOf(u',');
    target.iconFile = comma < 0 ? location : location.left(comma);
    target.iconIndex = comma < 0 ? QStringLiteral("0") : location.mid(comma + 1);
}

bool fillSystemIcon(ChangeTarget& target, const ItemFields& fields, const ItemList& lstChange)
{
    for (const ItemList::Entry& entry : lstChange.entries()) {
        const SystemIconRow row = splitSystemIconRow(entry.text);
        if (row.name != fields.label || row.name.isEmpty())
            continue;
        target.descriptor = entry.text;
        target.defaultLocation = row.defaultIcon;
        target.root = rootKeyNamed(row.rootName);
        target.keyPath = row.keyPath;
        target.valueName = row.valueName;
        target.iconFile = fields.file;
        target.iconIndex = fields.number;
        return target.root != 0;
    }
    return false;
}

// The label ends in " (*.ext)"; the row is "ext:class;file,index;command".
bool fillFileType(ChangeTarget& target, const ItemFields& fields, const ItemList& lstChange)
{
    const qsizetype open = fields.label.lastIndexOf(QStringLiteral("(*"));
    if (open < 0 || !fields.label.endsWith(u')'))
        return false;
    target.extension = fields.label.mid(open + 2, fields.label.size() - open - 3);
    const QString prefix = target.extension + u':';
    for (const ItemList::Entry& entry : lstChange.entries()) {
        if (!entry.text.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        const QString rest = entry.text.mid(prefix.size());
        const qsizetype first = rest.indexOf(u';');
        if (first <= 0)
            return false;
        const qsizetype second = rest.indexOf(u';', first + 1);
        target.descriptor = entry.text;
        target.root = platform::HKEY_CLASSES_ROOT;
        target.keyPath = rest.left(first);
        setLocation(target, rest.mid(first + 1, second < 0 ? -1 : second - first - 1));
        return true;
    }
    return false;
}

// F3 is "Control Panel\Cursors\" and the value name, or for a role without a file its cursor id.
bool fillCursor(ChangeTarget& target, const QString& item, const ItemFields& fields)
{
    const CursorRole* role = cursorRoleNamed(fields.label);
    if (!role)
        return false;
    target.descriptor = item;
    target.root = platform::HKEY_CURRENT_USER;
    target.keyPath = kCursorsKey;
    target.valueName = fields.label.startsWith(kCursorsKey + u'\\', Qt::CaseInsensitive)
        ? fields.label.mid(kCursorsKey.size() + 1)
        : cursorValueName(*role);
    target.iconFile = fields.file == u"default" ? QString() : fields.file;
    target.iconIndex = fields.number;
    return true;
}

void fillShortcut(ChangeTarget& target, const SelectedRow& row, const ItemFields& fields, const QString& windowsFolder)
{
    // The listing keeps the shortcut's own path in F3; otherwise it is the Origin (its folder below
    // the Windows folder) and the Name.
    target.descriptor = fields.label.endsWith(QStringLiteral(".lnk"), Qt::CaseInsensitive)
        ? fields.label
        : windowsFolder + u'\\' + row.origin + u'\\' + row.name + QStringLiteral(".lnk");
    target.iconFile = fields.file;
    target.iconIndex = fields.number;
}

} // namespace

QString kindText(TargetKind kind)
{
    return QLatin1StringView(kTargetKinds[static_cast<std::size_t>(kind)].text);
}

QString kindWord(TargetKind kind)
{
    return QLatin1StringView(kTargetKinds[static_cast<std::size_t>(kind)].word);
}

bool isCursor(TargetKind kind)
{
    return kind == TargetKind::CurrentCursor || kind == TargetKind::AnimatedCursor;
}

std::optional<ChangeTarget> changeTargetFor(const SelectedRow& row, const ItemList& lstChange,
                                            const QString& windowsFolder)
{
    const TargetKindName* name = kindNamed(row.type);
    const std::optional<ItemFields> fields = fieldsOf(row.item);
    if (!name || !fields)
        return std::nullopt;
    ChangeTarget target;
    target.kind = name->kind;
    const qsizetype hash = row.name.indexOf(u'#');
    target.title = hash < 0 ? row.name : row.name.left(hash);
    const ResultKind kind = kindOf(row.item);
    bool filled = false;
    switch (target.kind) {
    case TargetKind::SystemIcon: filled = kind == ResultKind::SystemIcon && fillSystemIcon(target, *fields, lstChange); break;
    case TargetKind::FileTypeIcon: filled = kind == ResultKind::FileType && fillFileType(target, *fields, lstChange); break;
    case TargetKind::CurrentCursor:
    case TargetKind::AnimatedCursor: filled = kind == ResultKind::SystemCursor && fillCursor(target, row.item, *fields); break;
    case TargetKind::ShortcutIcon:
        filled = kind == ResultKind::Shortcut;
        if (filled)
            fillShortcut(target, row, *fields, windowsFolder);
        break;
    }
    if (!filled)
        return std::nullopt;
    return target;
}

} // namespace glyphary::changer
