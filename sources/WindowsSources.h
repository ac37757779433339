#pragma once
// The icons Windows itself uses, as the "Your Icons" nodes list them: shortcuts, the current
// cursors, cursor schemes, file types and the system icon table. Each family is an IconSource
// registered with the session; they share the listing steps below.

#include "core/IconSource.h"
#include "core/RegistryText.h"

#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <memory>

namespace glyphary {
class MainSession;
namespace platform {
class IconFunctions;
}
} // namespace glyphary

namespace glyphary::sources {

class WindowsListing {
public:
    WindowsListing(MainSession& session, platform::IconFunctions& icons);

    MainSession& session() const { return session_; }
    const RegistryText& registry() const { return registry_; }

    // The status text, then the result set and its files cleared.
    void begin(const QString& status);
    // The count as "N Icon(s)" and page 1.
    void finish();
    // Lets events run at most every ~10 ms; true when the person aborted.
    bool aborted();

    // One result item: the fields joined by ";", then the type code and the kind.
    void add(const QStringList& fields, QChar typeCode, QLatin1StringView kind, std::int32_t itemData = 0);
    // A cursor file as items of `kind` at `location`: one with frame "0" for a static cursor, one per
    // step of an animated one ("ani" ending) with `animatedCode`; an animation that cannot be drawn
    // gives none.
    void addCursor(const QString& file, const QString& location, QChar staticCode, QChar animatedCode, QLatin1StringView kind);

private:
    MainSession& session_;
    platform::IconFunctions& icons_;
    RegistryText registry_;
    qint64 lastEvents_ = 0;
};

std::unique_ptr<IconSource> makeShortcutSource(WindowsListing& listing);
std::unique_ptr<IconSource> makeCurrentCursorSource(WindowsListing& listing);
std::unique_ptr<IconSource> makeCursorSchemeSource(WindowsListing& listing);
std::unique_ptr<IconSource> makeFileTypeSource(WindowsListing& listing);
std::unique_ptr<IconSource> makeSystemIconSource(WindowsListing& listing);

// Registers the five families with the session.
void installWindowsSources(MainSession& session, platform::IconFunctions& icons);

} // namespace glyphary::sources
