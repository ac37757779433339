#include "sources/WindowsSources.h"

#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/MainWindowPort.h"
#include "platform/IconFunctions.h"

#include <QDateTime>

namespace glyphary::sources {

WindowsListing::WindowsListing(MainSession& session, platform::IconFunctions& icons)
    : session_(session), icons_(icons), registry_(session.context())
{
}

void WindowsListing::begin(const QString& status)
{
    if (!status.isEmpty())
        session_.listingHost().showMessage(status);
    session_.clearResults();
    lastEvents_ = QDateTime::currentMSecsSinceEpoch();
}

void WindowsListing::finish()
{
    session_.listingHost().showCount(QString::number(session_.cmbResult.count()) + QStringLiteral(" Icon(s)"));
    session_.pages().startListing();
}

bool WindowsListing::aborted()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - lastEvents_ >= 10) {
        session_.listingHost().doEvents();
        lastEvents_ = now;
    }
    return session_.context().AbortFlag != kFalse;
}

void WindowsListing::add(const QStringList& fields, QChar typeCode, QLatin1StringView kind, std::int32_t itemData)
{
    session_.cmbResult.add(fields.join(u';') + u';' + typeCode + kind, itemData);
}

void WindowsListing::addCursor(const QString& file, const QString& location, QChar staticCode, QChar animatedCode,
                               QLatin1StringView kind)
{
    if (!file.right(3).toLower().endsWith(QLatin1String("ani"))) {
        add({file, QStringLiteral("0"), location}, staticCode, kind);
        return;
    }
    const platform::LoadedIcon animation = icons_.LoadImageA(file, platform::IMAGE_ICON, 0, 0, platform::LR_LOADFROMFILE);
    // Every step that draws is one item; the first that does not ends the frames. A file that holds
    // a single picture draws at any step, so the step count bounds the loop.
    for (int frame = 0; frame < animation.stepCount() && animation.iconAtStep(frame) != nullptr; ++frame)
        add({file, QString::number(frame), location}, animatedCode, kind);
}

void installWindowsSources(MainSession& session, platform::IconFunctions& icons)
{
    WindowsListing& listing = session.keep(std::make_unique<WindowsListing>(session, icons));
    const struct {
        SourceFamily family;
        std::unique_ptr<IconSource> (*make)(WindowsListing&);
    } families[] = {
        {SourceFamily::Shortcuts, makeShortcutSource},
        {SourceFamily::CurrentCursors, makeCurrentCursorSource},
        {SourceFamily::CursorScheme, makeCursorSchemeSource},
        {SourceFamily::FileTypes, makeFileTypeSource},
        {SourceFamily::SystemIcons, makeSystemIconSource},
    };
    for (const auto& entry : families)
        session.sources().add(entry.family, session.keep(entry.make(listing)));
}

} // namespace glyphary::sources
