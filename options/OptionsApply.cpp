#include "options/OptionsApply.h"

#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/MainWindowPort.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "options/FileAssociations.h"
#include "platform/Registry.h"

#include <QFile>

namespace glyphary::options {

using namespace platform;

namespace {

QString boolText(bool on)
{
    return on ? QStringLiteral("True") : QStringLiteral("False");
}

void applyPages(MainSession& session, const OptionsValues& values)
{
    const std::int32_t wanted = ResultPages::iconsPerPageFrom(SettingValue(values.iconsPerPage));
    if (wanted != session.pages().iconsPerPage()) {
        session.settings().write(setting::IconsPerPage, QString::number(wanted));
        session.pages().changeIconsPerPage(wanted);
        session.loadedForChange().iconsPerPage = wanted;
    }
    session.window().setHotTracking(values.hotTracking);
    session.loadedForChange().hotTracking = values.hotTracking;
}

// One batch, so that the five land together and a hive that cannot be written is told once.
void applyAssociations(MainSession& session, const OptionsValues& values)
{
    AppContext& context = session.context();
    Registry& registry = context.platform.registry();
    const AssociationFolders folders{context.ProgramFolder, context.SystemFolder};
    LONG status = ERROR_SUCCESS;
    registry.beginBatch();
    for (const AssociationDef& def : kAssociations) {
        const LONG one = setAssociation(registry, def, values.association(def.which), folders);
        if (status == ERROR_SUCCESS)
            status = one;
    }
    const LONG saved = registry.endBatch();
    if (status == ERROR_SUCCESS)
        status = saved;
    if (status != ERROR_SUCCESS)
        context.platform.dialogs().messageBox(kAssociationsFailedText, kOptionsTitle, MB_ICONEXCLAMATION);
}

void applySendTo(MainSession& session, const OptionsValues& values)
{
    const QString shortcut = sendToShortcut(session);
    if (!values.sendTo) {
        QFile::remove(session.context().platform.paths().toHost(shortcut));
        return;
    }
    const QString program = programFile(session);
    session.procSaveShortcut(shortcut, program, QString(), QString(), program, 0, 1);
}

void writeSettings(MainSession& session, const OptionsValues& v)
{
    Settings& s = session.settings();
    const SettingDef* associations[] = {&setting::AsoANI, &setting::AsoCUR, &setting::AsoDLL, &setting::AsoICL,
                                        &setting::AsoICO};
    for (std::size_t i = 0; i < kAssociationCount; ++i)
        s.write(*associations[i], boolText(v.associations[i]));
    s.write(setting::DCAction, v.action);
    s.write(setting::DCZoom, qint32(v.zoomLevel));
    s.write(setting::DCPlay, boolText(v.playFirst));
    s.write(setting::DCRef, boolText(v.referenceFirst));
    s.write(setting::DCRun, boolText(v.runFirst));
    s.write(setting::DCChange, boolText(v.changeFirst));

    MainWindowSettings& loaded = session.loadedForChange();
    if (v.favoritesFolder != loaded.favoritesRoot) {
        loaded.favoritesRoot = v.favoritesFolder;
        if (Navigation* navigation = session.navigation())
            navigation->setFavorites(v.favoritesFolder, v.searchFavorites);
        session.rebuildNavigationTree();
        s.write(setting::FavDir, v.favoritesFolder);
    }
    s.write(setting::SearchFav, boolText(v.searchFavorites));
    s.write(setting::UseMask, boolText(v.useMask));
    s.write(setting::MaskColor, QString::number(v.maskColor));

    const qint32 restart = v.noRestartReminders ? 1 : 0;
    const qint32 rebuild = v.noRebuildReminders ? 1 : 0;
    for (const SettingDef* flag : {&setting::SysCursorRestart, &setting::SysFileTypeRestart})
        s.write(*flag, restart);
    for (const SettingDef* flag : {&setting::SysCache, &setting::ShortcutCache, &setting::FolderCache})
        s.write(*flag, rebuild);
    s.write(setting::ExtEditFile, v.editorFile);
    s.write(setting::ExtEditFolder, v.editorFolder);

    loaded.searchFavorites = v.searchFavorites;
    loaded.doubleClickAction = v.action;
    loaded.doubleClickZoom = v.zoomLevel;
    loaded.doubleClickPlay = v.playFirst;
    loaded.doubleClickReferences = v.referenceFirst;
    loaded.doubleClickRun = v.runFirst;
    loaded.doubleClickChange = v.changeFirst;
    loaded.useMask = v.useMask;
    loaded.maskColor = colourFromValue(v.maskColor);
}

} // namespace

void applyOptions(MainSession& session, const OptionsValues& values)
{
    applyPages(session, values);
    applyAssociations(session, values);
    applySendTo(session, values);
    RegistryBatch batch(session.context().platform.registry());
    writeSettings(session, values);
}

} // namespace glyphary::options
