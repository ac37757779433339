#pragma once
// The nodes of the navigation tree pnlNav as data. Node keys are the contract between the tree and
// the listing builders (the navigation click dispatches on them); the window only shows the nodes.

#include <QHash>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <vector>

namespace glyphary {

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

} // namespace glyphary
