#include "core/MainWindowLoad.h"

#include "core/AppContext.h"
#include "core/FileHelpers.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "core/ShellFolderPaths.h"
#include "formats/Cp1252.h"

#include <algorithm>
#include "platform/ShellFolders.h"

namespace glyphary {

using namespace platform;

namespace {

int pixels(int twips, int twipsPerPixel) { return twips / std::max(1, twipsPerPixel); }

int storedPixels(Settings& settings, const SettingDef& def, int fallbackPixels, int twipsPerPixel)
{
    const auto value = Settings::toNumber(settings.read(def));
    return value ? pixels(*value, twipsPerPixel) : fallbackPixels;
}

} // namespace

MainWindowPreferences preferencesToStore(const ShownWindow& shown, int iconsPerPage, int twipsPerPixelX, int twipsPerPixelY)
{
    const int tx = std::max(1, twipsPerPixelX);
    const int ty = std::max(1, twipsPerPixelY);
    MainWindowPreferences p;
    static_cast<MainWindowLayout&>(p) = shown;
    p.standardToolbarWidth = shown.standardToolbarWidth * tx;
    p.yourToolbarWidth = shown.yourToolbarWidth * tx;
    for (int& width : p.columnWidths)
        width *= tx;
    p.splitter = shown.splitter * tx;
    p.backColor = colourValue(shown.backColor);
    p.iconsPerPage = iconsPerPage;
    p.minimized = shown.minimized;
    p.top = shown.frame.top() * ty;
    p.left = shown.frame.left() * tx;
    p.width = shown.frame.width() * tx;
    p.height = shown.frame.height() * ty;
    return p;
}

int nameColumnWidth(int listWidth, int typeWidth, int originWidth)
{
    return std::max(40, listWidth - typeWidth - originWidth - 10);
}

qint32 colourValue(const QColor& colour)
{
    return static_cast<qint32>((colour.blue() << 16) | (colour.green() << 8) | colour.red());
}

QColor systemColour(int index)
{
    // COLOR_* index -> the Windows Standard scheme's RGB.
    static constexpr std::pair<int, QRgb> kScheme[] = {
        {0, 0xC0C0C0}, {1, 0x008080}, {2, 0x000080}, {3, 0x808080}, {4, 0xC0C0C0}, {5, 0xFFFFFF},
        {6, 0x000000}, {7, 0x000000}, {8, 0x000000}, {9, 0xFFFFFF}, {10, 0xC0C0C0}, {11, 0xC0C0C0},
        {12, 0x808080}, {13, 0x000080}, {14, 0xFFFFFF}, {15, 0xC0C0C0}, {16, 0x808080}, {17, 0x808080},
        {18, 0x000000}, {19, 0xC0C0C0}, {20, 0xFFFFFF}, {21, 0x000000}, {22, 0xDFDFDF}, {23, 0x000000},
        {24, 0xFFFFE1}};
    for (const auto& [known, rgb] : kScheme)
        if (known == index)
            return QColor::fromRgb(rgb);
    return QColor(Qt::black);
}

QColor colourFromValue(qint32 value)
{
    const auto bits = static_cast<quint32>(value);
    if (bits & 0x80000000u)
        return systemColour(static_cast<int>(bits & 0xFF));
    return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF), static_cast<int>((bits >> 16) & 0xFF));
}

QString favoritesFolderName(AppContext& context)
{
    QString folder = cSpecialFolders(context.platform.registry()).path(CSIDL_FAVORITES);
    if (folder.endsWith(u'\\'))
        folder.chop(1);
    const QString name = folder.mid(folder.lastIndexOf(u'\\') + 1);
    return name.isEmpty() ? QStringLiteral("Favorites") : name;
}

QString favoritesRoot(AppContext& context, Settings& settings)
{
    const QString stored = settings.readText(setting::FavDir);
    if (!stored.isEmpty())
        return stored;
    return context.dataFolder() + favoritesFolderName(context);
}

bool folderIconsSupported(AppContext& context)
{
    if (context.OsCode == u"98")
        return true;
    QString browser = QStringLiteral("C:\\Program Files\\Internet Explorer\\Iexplore.exe");
    Registry& registry = context.platform.registry();
    HKEY key = 0;
    if (registry.RegOpenKeyExA(HKEY_CLASSES_ROOT, "htmlfile\\DefaultIcon", 0, KEY_ALL_ACCESS_LOW, &key) == ERROR_SUCCESS) {
        DWORD type = 0;
        std::vector<std::uint8_t> data;
        if (registry.RegQueryValueExA(key, "", &type, &data) == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
            const QString value = CutAtNul(formats::fromCp1252(std::string_view(reinterpret_cast<const char*>(data.data()), data.size())));
            if (!value.isEmpty())
                browser = value.section(u',', 0, 0);
        }
        registry.RegCloseKey(key);
    }
    return GetFileMajorVersion(context.platform.paths(), browser).toInt() >= 4;
}

MainWindowSettings readMainWindowSettings(AppContext& context, Settings& settings, const MainWindowDesign& design)
{
    const int tx = context.TwipsPerPixelX;
    const int ty = context.TwipsPerPixelY;
    MainWindowSettings s;
    s.iconsPerPage = settings.readNumber(setting::IconsPerPage);
    if (s.iconsPerPage <= 0)
        s.iconsPerPage = 200; // a page of nothing would never end a listing
    s.favoritesRoot = favoritesRoot(context, settings);
    s.searchFavorites = settings.readBool(setting::SearchFav);
    s.doubleClickAction = settings.readText(setting::DCAction);
    s.doubleClickZoom = settings.readNumber(setting::DCZoom);
    s.doubleClickPlay = settings.readBool(setting::DCPlay);
    s.doubleClickReferences = settings.readBool(setting::DCRef);
    s.doubleClickRun = settings.readBool(setting::DCRun);
    s.doubleClickChange = settings.readBool(setting::DCChange);
    s.helpFile = context.ProgramFolder + QStringLiteral("glyphary.hlp");

    s.geometry = QRect(storedPixels(settings, setting::MainLeft, design.geometry.x(), tx),
                       storedPixels(settings, setting::MainTop, design.geometry.y(), ty),
                       storedPixels(settings, setting::MainWidth, design.geometry.width(), tx),
                       storedPixels(settings, setting::MainHeight, design.geometry.height(), ty));
    s.maximized = settings.readNumber(setting::MainState) == 2;
    const int view = settings.readNumber(setting::ViewType);
    s.viewType = view == 2 || view == 3 ? view : 0;
    s.textLabels = settings.readBool(setting::TextLabel);
    s.statusBar = settings.readBool(setting::Statusbar);
    s.standardBand = settings.readBool(setting::Toolbar);
    s.yourBand = settings.readBool(setting::YourToolbar);
    s.keywordBand = settings.readBool(setting::Keywordbar);
    s.yourNewRow = settings.readBool(setting::YourPos);
    s.keywordNewRow = settings.readBool(setting::KeywordPos);
    s.standardToolbarWidth = storedPixels(settings, setting::StandardToolbarWidth, design.standardToolbarWidth, tx);
    s.yourToolbarWidth = storedPixels(settings, setting::YourToolbarWidth, design.yourToolbarWidth, tx);
    const SettingDef* columns[] = {&setting::Colwidth1, &setting::Colwidth2, &setting::Colwidth3};
    for (std::size_t i = 0; i < 3; ++i)
        s.columnWidths[i] = std::max(0, storedPixels(settings, *columns[i], design.columnWidths[i], tx));
    const auto splitter = Settings::toNumber(settings.read(setting::Splitter));
    s.splitter = splitter ? std::max(0, pixels(*splitter, tx)) : -1;
    const auto back = Settings::toNumber(settings.read(setting::BackColor));
    s.backColor = back ? colourFromValue(*back) : design.backColor;
    s.useMask = settings.readBool(setting::UseMask);
    const auto mask = Settings::toNumber(settings.read(setting::MaskColor));
    s.maskColor = mask ? colourFromValue(*mask) : s.backColor;
    s.hotTracking = settings.readBool(setting::HotTracking);
    return s;
}

bool lightNoticeWanted(AppContext& context, Settings& settings)
{
    return settings.noticeWanted(QString::fromLatin1(setting::GlypharyLight.name))
        && !FileExists(context.platform.paths(), context.ProgramFolder + QStringLiteral("iconlib.res"));
}

QString lightNoticeText()
{
    return QStringLiteral(
        "This Glyphary Light version is a fully functional Glyphary version but does not contain the 17.500 icons. "
        "When searching for icons on Keywords, Glyphary will show the amount of found icons but not the icons themselves. "
        "The free full Glyphary version is available at the Glyphary Homepage accessable through Help, About, Contact tab.");
}

QString nameColumnCaption(const QString& sourceCaption, int columnWidth, const std::function<int(const QString&)>& textWidth)
{
    if (sourceCaption.isEmpty() || sourceCaption == u"Glyphary" || textWidth(sourceCaption) <= columnWidth)
        return sourceCaption.isEmpty() ? QStringLiteral("Name") : sourceCaption;
    // Keep the end, which names the place most closely; a little room stays for the header's margins.
    QString cut = sourceCaption;
    while (cut.size() > 1 && textWidth(QStringLiteral("...") + cut) + textWidth(QStringLiteral("ww")) > columnWidth)
        cut.remove(0, 1);
    return QStringLiteral("...") + cut;
}

QRect visibleGeometry(const QRect& stored, const QRect& fallback, const QList<QRect>& screens)
{
    if (stored.width() < 200 || stored.height() < 150)
        return fallback;
    for (const QRect& screen : screens) {
        const QRect overlap = screen.intersected(stored);
        // Enough of the title bar must be on a screen to grab it.
        if (overlap.width() >= 100 && overlap.height() >= 50 && stored.top() >= screen.top() - 10)
            return stored;
    }
    return fallback;
}

} // namespace glyphary
