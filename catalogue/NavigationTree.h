#pragma once
// The nodes of the navigation tree pnlNav as data. Node keys are the contract between the tree and
// the listing builders (NavigationClick dispatches on them); the window only shows the nodes.

#include <QHash>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <vector>

namespace glyphary {

struct AppContext;
class LaterSources;

struct NavNode {
    QString key;
    QString caption;
    QString image;         // key of the tree's image list imlNav
    QString selectedImage; // "openbook" for the leaves; empty: the image
    QString parentKey;     // empty for a top-level node
    bool expanded = false;
    bool sorted = false;   // children shown in name order
};

// Nodes in the order they were added, which is the order siblings are shown in unless their
// parent is sorted. Keys are unique (compared exactly).
class NavigationTree {
public:
    // False, with nothing added, when the key is empty or taken or the parent is unknown.
    bool add(NavNode node);
    // Removes every node below `key` (the node itself stays).
    void removeBelow(const QString& key);

    const NavNode* find(const QString& key) const;
    NavNode* find(const QString& key);
    bool hasChildren(const QString& key) const;
    // The keys of the direct children, in the order they are shown.
    QStringList childKeys(const QString& key) const;
    const std::vector<NavNode>& nodes() const { return nodes_; }

private:
    void reindex();

    std::vector<NavNode> nodes_;
    QHash<QString, std::size_t> index_;
};

// The caption of a design group's node from its keyword ("group", a separator, the name): the name
// with its first letter in upper case, except that a name beginning with "iMac" stays as it is.
QString groupCaption(const QString& keyword);

// The node keys and captions of the cursor schemes: the value names of
// "Control Panel\Cursors\Schemes" under HKEY_CURRENT_USER, in registry order.
QStringList cursorSchemeNames(AppContext& context);

// Builds every node: the catalogue branch (only when the catalogue is available; expanded) with a
// node per design group of the keyword bar, then the "Your Icons" branch. The favorites folders
// below "favori" come from `sources`.
NavigationTree BuildNavigationTree(AppContext& context, LaterSources& sources);

} // namespace glyphary
