#include "catalogue/NavigationNodes.h"

#include "core/AppContext.h"
#include "core/MainWindowLoad.h"
#include "core/IconSource.h"
#include "formats/Cp1252.h"
#include "platform/Win32Types.h"

#include <QSet>
#include <algorithm>
#include <span>
#include <string>

namespace glyphary {
namespace {

using platform::HKEY;

struct NodeRow {
    const char* key;
    const char* caption;
    const char* image;
    const char* parent;
};

// The catalogue branch up to its groups; there is no "16 Color" node under "Icons".
constexpr NodeRow kCatalogueRows[] = {
    {"glyphary", "Glyphary", "glyphary", ""},
    {"icon", "Icons", "icon", "glyphary"},
    {"Icon256", "256 Color", "book", "icon"},
    {"IconHi", "Hi Color", "book", "icon"},
    {"ani", "Animated Icons", "navani", "glyphary"},
    {"Ani16", "16 Color", "book", "ani"},
    {"Ani256", "256 Color", "book", "ani"},
    {"AniHi", "Hi Color", "book", "ani"},
    {"cursor", "Cursors", "cursor", "glyphary"},
    {"Cursor16", "16 Color", "book", "cursor"},
    {"Cursor256", "256 Color", "book", "cursor"},
    {"CursorHi", "Hi Color", "book", "cursor"},
    {"group", "Groups by Design", "group", "glyphary"},
};

constexpr NodeRow kAlphabeticRow{"alfa", "Alphabetic", "alfa", "glyphary"};

// "Your Icons" after the favorites node, up to the cursor scheme nodes.
constexpr NodeRow kYourRows[] = {
    {"reference", "References", "reference", "your"},
    {"Reference16", "16 Color", "book", "reference"},
    {"Reference256", "256 Color", "book", "reference"},
    {"ReferenceHi", "Hi Color", "book", "reference"},
    {"system", "System", "system", "your"},
    {"SysShort", "Program Shortcuts", "shortcut", "your"},
    {"SysShortDesk", "Desktop", "book", "SysShort"},
    {"SysShortStart", "Start Menu", "book", "SysShort"},
    {"SysCur", "Cursors", "cursor", "your"},
    {"SysCurCurrent", "Current", "book", "SysCur"},
};

// "Your Icons" after the cursor scheme nodes.
constexpr NodeRow kSystemRows[] = {
    {"SysDesktop", "Desktop", "book", "system"},
    {"SysStart", "Start", "book", "system"},
    {"SysDrives", "Drives", "book", "system"},
    {"SysFolders", "Folders", "book", "system"},
    {"SysFiles", "Files", "book", "system"},
    {"SysAso", "File Type Icons", "aso", "your"},
};

const QString kBookImage = QStringLiteral("book");
const QString kSchemesKey = QStringLiteral("Control Panel\\Cursors\\Schemes");

// Catalogue and folder leaves show an open book while selected.
void addNode(NavigationTree& tree, const QString& key, const QString& caption, const QString& image, const QString& parent)
{
    NavNode node;
    node.key = key;
    node.caption = caption;
    node.image = image;
    node.parentKey = parent;
    if (image == kBookImage)
        node.selectedImage = QStringLiteral("openbook");
    tree.add(std::move(node));
}

void addRows(NavigationTree& tree, std::span<const NodeRow> rows)
{
    for (const NodeRow& row : rows) {
        addNode(tree, QLatin1StringView(row.key), QLatin1StringView(row.caption), QLatin1StringView(row.image),
                QLatin1StringView(row.parent));
    }
}

void addCatalogueBranch(NavigationTree& tree, const ItemList& keywordBar)
{
    addRows(tree, kCatalogueRows);
    for (int n = 0; n < keywordBar.count(); ++n) {
        const QString& keyword = keywordBar.text(n);
        if (keyword.startsWith(QLatin1StringView("group")))
            addNode(tree, QStringLiteral("groups") + QString::number(n), groupCaption(keyword), kBookImage, QStringLiteral("group"));
    }
    addRows(tree, {&kAlphabeticRow, 1});
    for (char16_t letter = u'A'; letter <= u'Z'; ++letter)
        addNode(tree, QString(QChar(letter)), QString(QChar(letter)), kBookImage, QStringLiteral("alfa"));
    tree.find(QStringLiteral("glyphary"))->expanded = true;
}

void addYourIconsBranch(AppContext& context, NavigationTree& tree, const IconSources& sources)
{
    addNode(tree, QStringLiteral("your"), QStringLiteral("Your Icons"), QStringLiteral("user"), QString());
    addNode(tree, QStringLiteral("favori"), favoritesFolderName(context), QStringLiteral("favorite"), QStringLiteral("your"));
    tree.find(QStringLiteral("favori"))->sorted = true;
    for (const SourceNode& node : sources.nodes(SourceFamily::Favorites)) {
        addNode(tree, node.key, node.caption, node.image, node.parentKey);
        if (NavNode* added = tree.find(node.key)) {
            if (!node.selectedImage.isEmpty())
                added->selectedImage = node.selectedImage;
            added->expanded = node.expanded;
            added->sorted = node.sorted;
        }
    }
    addRows(tree, kYourRows);
    for (const QString& scheme : cursorSchemeNames(context))
        addNode(tree, scheme + QStringLiteral("ctheme"), scheme, kBookImage, QStringLiteral("SysCur"));
    addRows(tree, kSystemRows);
}

} // namespace

QString groupCaption(const QString& keyword)
{
    const QString name = keyword.mid(6);
    if (name.isEmpty() || name.startsWith(QLatin1StringView("iMac")))
        return name;
    return name.front().toUpper() + name.mid(1);
}

QStringList cursorSchemeNames(AppContext& context)
{
    platform::Registry& registry = context.platform.registry();
    HKEY key = 0;
    if (registry.RegOpenKeyExA(platform::HKEY_CURRENT_USER, formats::toCp1252(kSchemesKey), 0,
                               platform::KEY_ALL_ACCESS_LOW, &key) != platform::ERROR_SUCCESS)
        return {};
    QStringList names;
    std::string name;
    for (platform::DWORD i = 0; registry.RegEnumValueA(key, i, &name, nullptr, nullptr) == platform::ERROR_SUCCESS; ++i) {
        // The unnamed default value names no scheme.
        if (!name.empty())
            names.append(formats::fromCp1252(name));
    }
    registry.RegCloseKey(key);
    return names;
}

NavigationTree BuildNavigationTree(AppContext& context, const IconSources& sources)
{
    NavigationTree tree;
    if (context.CatalogueAvailable != kFalse)
        addCatalogueBranch(tree, context.catalogueLists.cmbSearch);
    addYourIconsBranch(context, tree, sources);
    return tree;
}

} // namespace glyphary
