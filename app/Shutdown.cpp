#include "app/Shutdown.h"

#include "core/MainSession.h"
#include "core/MainWindowPort.h"
#include "core/AppContext.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "catalogue/CatalogueFiles.h"
#include "platform/Registry.h"
#include "platform/Win32Types.h"

#include <QDir>

namespace glyphary {

using namespace platform;

namespace {

QString boolText(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }
QString numberText(int value) { return QString::number(value); }

} // namespace

void storePreferences(Settings& settings, const MainWindowPreferences& p)
{
    const auto text = [&settings](const SettingDef& def, const QString& value) {
        settings.CreateSettingsKey(HKEY_CURRENT_USER, QString::fromLatin1(def.key));
        settings.WriteSetting(QString::fromLatin1(def.name), value, REG_SZ);
    };
    const auto number = [&settings](const SettingDef& def, qint32 value) {
        settings.CreateSettingsKey(HKEY_CURRENT_USER, QString::fromLatin1(def.key));
        settings.WriteSetting(QString::fromLatin1(def.name), value, REG_DWORD);
    };

    text(setting::ViewType, numberText(p.viewType));
    text(setting::TextLabel, boolText(p.textLabels));
    text(setting::Statusbar, boolText(p.statusBar));
    text(setting::Toolbar, boolText(p.standardBand));
    text(setting::YourToolbar, boolText(p.yourBand));
    if (p.yourBand) {
        text(setting::YourPos, boolText(p.yourNewRow));
        if (!p.yourNewRow)
            text(setting::StandardToolbarWidth, numberText(p.standardToolbarWidth));
    }
    text(setting::Keywordbar, boolText(p.keywordBand));
    if (p.keywordBand) {
        text(setting::KeywordPos, boolText(p.keywordNewRow));
        if (!p.keywordNewRow)
            text(setting::YourToolbarWidth, numberText(p.yourToolbarWidth));
    }
    text(setting::BackColor, numberText(p.backColor));
    text(setting::IconsPerPage, numberText(p.iconsPerPage));
    text(setting::HotTracking, boolText(p.hotTracking));
    text(setting::Colwidth1, numberText(p.columnWidths[0]));
    text(setting::Colwidth2, numberText(p.columnWidths[1]));
    text(setting::Colwidth3, numberText(p.columnWidths[2]));
    text(setting::Splitter, numberText(p.splitter));

    if (!p.minimized) {
        number(setting::MainState, p.maximized ? 2 : 0);
        if (!p.maximized) {
            number(setting::MainTop, p.top);
            number(setting::MainLeft, p.left);
            number(setting::MainWidth, p.width);
            number(setting::MainHeight, p.height);
        }
    }
    if (p.keywordEditor) {
        number(setting::KeyTop, p.keywordEditor->y());
        number(setting::KeyLeft, p.keywordEditor->x());
    }
    if (p.referenceEditor) {
        number(setting::AddTop, p.referenceEditor->y());
        number(setting::AddLeft, p.referenceEditor->x());
    }
}

void removeExtractedLibraries(AppContext& context)
{
    const QString folder = context.platform.paths().toHost(context.TempFolder);
    if (folder.isEmpty())
        return;
    QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.lib")}, QDir::Files | QDir::Hidden))
        dir.remove(name);
}

bool ShutdownSequence::run(MainSession& session, ShutdownQuestions questions)
{
    AppContext& context = session.context();
    if (inProgress_)
        return false;
    inProgress_ = true;

    if (context.SystemIconsNeedRebuild != kFalse && questions == ShutdownQuestions::Ask) {
        const int answer = context.platform.dialogs().messageBox(
            QStringLiteral("You have changed System Icons but did not Rebuild the Windows Icon Cache.\r"
                           "Rebuilding the Icon Cache must be performed in order to show the new System Icons.\r\r"
                           "Do you want to Rebuild the Windows Icon Cache Now?"),
            QStringLiteral("Rebuild Windows Icon Cache"), MB_YESNO | MB_ICONEXCLAMATION);
        if (answer == IDYES)
            session.run(Command::RebuildIconCache);
        context.SystemIconsNeedRebuild = kFalse;
    }

    {
        RegistryBatch oneSave(context.platform.registry());
        storePreferences(session.settings(), session.preferencesToStore());
    }
    SaveUserFiles(context);
    removeExtractedLibraries(context);
    session.window().unloadWindows();
    return true;
}

} // namespace glyphary
