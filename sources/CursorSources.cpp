// The cursors the user has set ("Control Panel\Cursors") and the cursor schemes
// ("Control Panel\Cursors\Schemes"), both under HKEY_CURRENT_USER.

#include "sources/WindowsSources.h"

#include "core/MainSession.h"
#include "platform/Win32Types.h"

namespace glyphary::sources {
namespace {

const QString kCursorsKey = QStringLiteral("Control Panel\\Cursors");
const QString kSchemesKey = QStringLiteral("Control Panel\\Cursors\\Schemes");

// The values listed, in this order, with the built-in cursor drawn when a value is empty.
constexpr struct {
    const char* valueName;
    int resourceNumber;
} kCurrentCursors[] = {
    {"AppStarting", 32650}, {"Arrow", 32512}, {"Crosshair", 32515}, {"Help", 32651}, {"IBeam", 32513},
    {"No", 32648},          {"NWPen", 32631}, {"SizeAll", 32646},   {"SizeNESW", 32643}, {"SizeNS", 32645},
    {"SizeNWSE", 32642},    {"SizeWE", 32644}, {"UpArrow", 32516},  {"Wait", 32514},
};

// A path as a scheme or a cursor value stores it: one pair of quotes and %VARIABLES% undone.
QString cursorFile(const WindowsListing& listing, QString text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        text = text.mid(1, text.size() - 2);
    return listing.registry().expand(text);
}

class CurrentCursorSource : public IconSource {
public:
    explicit CurrentCursorSource(WindowsListing& listing) : listing_(listing) {}

    void list(const SourceRequest&) override
    {
        listing_.begin(QString());
        // Without the key there is nothing to list, not fourteen defaults.
        if (listing_.registry().keyExists(platform::HKEY_CURRENT_USER, kCursorsKey)) {
            for (const auto& cursor : kCurrentCursors)
                procGetCurrentCursor(cursor.resourceNumber, QLatin1String(cursor.valueName));
        }
        listing_.finish();
    }

private:
    void procGetCurrentCursor(int resourceNumber, const QString& valueName)
    {
        const QString file = cursorFile(listing_, listing_.registry().text(platform::HKEY_CURRENT_USER, kCursorsKey, valueName));
        if (file.isEmpty())
            listing_.add({QStringLiteral("default"), QStringLiteral("0"), QString::number(resourceNumber)}, u'c', QLatin1String("sycu"));
        else
            listing_.addCursor(file, kCursorsKey + u'\\' + valueName, u'c', u'g', QLatin1String("sycu"));
    }

    WindowsListing& listing_;
};

class CursorSchemeSource : public IconSource {
public:
    explicit CursorSchemeSource(WindowsListing& listing) : listing_(listing) {}

    void list(const SourceRequest& request) override
    {
        listing_.begin(QString());
        const QString scheme = listing_.registry().text(platform::HKEY_CURRENT_USER, kSchemesKey, request.name);
        if (!scheme.isEmpty()) {
            const QStringList entries = scheme.split(u',');
            for (qsizetype i = 0; i < entries.size(); ++i)
                procGetCurrentThemeCursor(cursorFile(listing_, entries[i]), request.name, static_cast<int>(i + 1));
        }
        listing_.finish();
    }

private:
    void procGetCurrentThemeCursor(const QString& file, const QString& scheme, int position)
    {
        const QString location = kSchemesKey + u'\\' + scheme + u':' + QString::number(position);
        if (file.isEmpty())
            listing_.add({QStringLiteral("default"), QStringLiteral("0"), location}, u't', QLatin1String("sytu"));
        else
            listing_.addCursor(file, location, u't', u'a', QLatin1String("sytu"));
    }

    WindowsListing& listing_;
};

} // namespace

std::unique_ptr<IconSource> makeCurrentCursorSource(WindowsListing& listing)
{
    return std::make_unique<CurrentCursorSource>(listing);
}

std::unique_ptr<IconSource> makeCursorSchemeSource(WindowsListing& listing)
{
    return std::make_unique<CursorSchemeSource>(listing);
}

} // namespace glyphary::sources
