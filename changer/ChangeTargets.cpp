#include "changer/ChangeTargets.h"

#include "core/AppContext.h"
#include "core/IconSource.h"
#include "core/MainSession.h"

namespace glyphary::changer {

namespace {

void collect(MainSession& session, SourceFamily family, const SourceRequest& request, std::vector<ChangeTarget>& targets)
{
    session.sources().list(family, request, session.listingHost());
    for (const ItemList::Entry& entry : session.cmbResult.entries()) {
        const auto drawn = session.drawItem(entry.text, entry.itemData);
        if (!drawn)
            continue;
        const SelectedRow row{drawn->name, drawn->type, drawn->origin, entry.text, drawn->image};
        auto target = changeTargetFor(row, session.lstChange, session.context().WindowsFolder);
        if (target && !findChangeTarget(targets, kindWord(target->kind), targetName(*target)))
            targets.push_back(std::move(*target));
    }
}

} // namespace

std::vector<ChangeTarget> listChangeTargets(MainSession& session)
{
    std::vector<ChangeTarget> targets;
    for (const SystemIconGroup group : {SystemIconGroup::Desktop, SystemIconGroup::Start, SystemIconGroup::Drives,
                                        SystemIconGroup::Folders, SystemIconGroup::Files})
        collect(session, SourceFamily::SystemIcons, {QString(), static_cast<int>(group)}, targets);
    collect(session, SourceFamily::FileTypes, {}, targets);
    for (const char* folder : {"Desktop", "Start Menu"})
        collect(session, SourceFamily::Shortcuts, {QString::fromLatin1(folder)}, targets);
    collect(session, SourceFamily::CurrentCursors, {}, targets);
    return targets;
}

QString targetName(const ChangeTarget& target)
{
    switch (target.kind) {
    case TargetKind::SystemIcon: return target.title;
    case TargetKind::FileTypeIcon: return target.extension;
    case TargetKind::ShortcutIcon: return target.descriptor;
    case TargetKind::CurrentCursor:
    case TargetKind::AnimatedCursor: return target.valueName;
    }
    return {};
}

QString targetLocation(const ChangeTarget& target)
{
    if (isCursor(target.kind))
        return target.iconFile.isEmpty() ? QStringLiteral("default") : target.iconFile;
    return target.iconFile + u',' + target.iconIndex;
}

const ChangeTarget* findChangeTarget(const std::vector<ChangeTarget>& targets, const QString& kindWord, const QString& name)
{
    for (const ChangeTarget& target : targets) {
        if (changer::kindWord(target.kind) == kindWord && targetName(target).compare(name, Qt::CaseInsensitive) == 0)
            return &target;
    }
    return nullptr;
}

} // namespace glyphary::changer
