#include "export/Exporter.h"

#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/MainWindowPort.h"
#include "core/ResultItem.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "export/AnimationFrames.h"
#include "export/CopyPicture.h"
#include "export/LaunchPlan.h"
#include "formats/IcoCodec.h"
#include "platform/IconFunctions.h"
#include "platform/Win32Types.h"

#include <QDir>
#include <QSaveFile>

namespace glyphary::exporting {
namespace {

// The editor setting may hold a whole path or a name inside the editor folder.
QString editorPath(const QString& folder, const QString& file)
{
    if (file.contains(u':') || file.startsWith(u'\\') || folder.isEmpty())
        return file;
    return (folder.endsWith(u'\\') ? folder : folder + u'\\') + file;
}

// A row's text as a file name any file manager accepts.
QString fileNameOf(const QString& rowName)
{
    QString name = rowName.trimmed();
    for (QChar& c : name)
        if (c < u' ' || QStringView(u"/\\:*?\"<>|").contains(c))
            c = u'_';
    return name.isEmpty() || name == u"." || name == u".." ? QStringLiteral("icon") : name;
}

} // namespace

Exporter::Exporter(MainSession& session)
    : session_(session), icons_(session.context().platform.paths()), saveAs_(session, icons_), launcher_(std::make_unique<platform::SystemLauncher>())
{
}

std::vector<QImage> Exporter::animationFrames(const SelectedRow& row)
{
    return collectAnimationFrames(session_, icons_, row).frames;
}

bool Exporter::collectFrames()
{
    std::vector<QImage>& film = session_.context().picFilm;
    film.clear();
    const std::optional<SelectedRow> row = session_.window().selectedRow();
    if (!row)
        return false;
    // Only the player shows this film (Save As draws its own at 32 x 32), so it is drawn for the screen.
    film = collectAnimationFrames(session_, icons_, *row, session_.window().pictureScale()).frames;
    return !film.empty();
}

void Exporter::copy()
{
    const std::optional<SelectedRow> row = session_.window().selectedRow();
    if (!row || row->image.isNull())
        return;
    const MainWindowSettings& loaded = session_.loaded();
    putOnClipboard(row->image, copyBackground(loaded.useMask, loaded.maskColor, session_.window().shownWindow().backColor));
}

void Exporter::run()
{
    const std::optional<SelectedRow> row = session_.window().selectedRow();
    const auto fields = row ? fieldsOf(row->item) : std::nullopt;
    if (!fields)
        return;
    AppContext& context = session_.context();
    const LaunchPlan plan = planLaunch(context.platform.paths(), LaunchRequest{fields->label, {}, {}, true},
                                       launcher_->findProgram(QStringLiteral("wine")));
    carryOut(plan, fields->label, *launcher_, context.platform.dialogs(), QStringLiteral("Run"));
}

void Exporter::editWith()
{
    AppContext& context = session_.context();
    Settings& settings = session_.settings();
    const QString editorFile = settings.readText(setting::ExtEditFile);
    if (editorFile.isEmpty()) {
        context.platform.dialogs().messageBox(kEditWithErrorText, kEditWithErrorTitle, platform::MB_ICONEXCLAMATION);
        return;
    }
    context.EditFlag = kTrue;
    const std::optional<QString> saved = saveAs_.run();
    context.EditFlag = kFalse;
    if (!saved)
        return;
    const QString editor = editorPath(settings.readText(setting::ExtEditFolder), editorFile);
    const LaunchRequest request{editor, {*saved}, {context.platform.paths().toHost(*saved)}, false};
    const LaunchPlan plan = planLaunch(context.platform.paths(), request, launcher_->findProgram(QStringLiteral("wine")));
    carryOut(plan, editor, *launcher_, context.platform.dialogs(), QStringLiteral("Edit With"));
}

QString Exporter::dragFile(const SelectedRow& row)
{
    AppContext& context = session_.context();
    std::optional<formats::ByteVector> bytes;
    // A library's group or an .ico file goes whole, every size and depth; anything else as shown.
    if (kindOf(row.item) != ResultKind::Book)
        if (const auto fields = fieldsOf(row.item)) {
            bool isNumber = false;
            const int index = fields->number.toInt(&isNumber);
            if (isNumber)
                bytes = icons_.iconGroupFile(fields->file, index);
        }
    if (!bytes && !row.image.isNull())
        if (auto written = formats::writeIco(row.image.convertToFormat(QImage::Format_ARGB32), 32))
            bytes = std::move(*written.value);
    if (!bytes)
        return {};
    const QString folder = context.platform.paths().toHost(context.TempFolder + QStringLiteral("drag"));
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return {};
    const QString host = folder + u'/' + fileNameOf(row.name) + QStringLiteral(".ico");
    QSaveFile file(host);
    const auto size = static_cast<qint64>(bytes->size());
    if (!file.open(QIODevice::WriteOnly) || file.write(reinterpret_cast<const char*>(bytes->data()), size) != size
        || !file.commit())
        return {};
    return host;
}

} // namespace glyphary::exporting
