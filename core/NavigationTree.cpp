#include "core/NavigationTree.h"

#include <QSet>
#include <algorithm>

namespace glyphary {

bool NavigationTree::add(NavNode node)
{
    if (node.key.isEmpty() || index_.contains(node.key))
        return false;
    if (!node.parentKey.isEmpty() && !index_.contains(node.parentKey))
        return false;
    index_.insert(node.key, nodes_.size());
    nodes_.push_back(std::move(node));
    return true;
}

void NavigationTree::removeBelow(const QString& key)
{
    // Parents always come before their children, so one pass in order finds every descendant.
    QSet<QString> removed;
    std::vector<NavNode> kept;
    kept.reserve(nodes_.size());
    for (NavNode& node : nodes_) {
        if (node.parentKey == key || removed.contains(node.parentKey))
            removed.insert(node.key);
        else
            kept.push_back(std::move(node));
    }
    nodes_ = std::move(kept);
    reindex();
}

void NavigationTree::reindex()
{
    index_.clear();
    for (std::size_t i = 0; i < nodes_.size(); ++i)
        index_.insert(nodes_[i].key, i);
}

const NavNode* NavigationTree::find(const QString& key) const
{
    const auto it = index_.constFind(key);
    return it == index_.constEnd() ? nullptr : &nodes_[*it];
}

NavNode* NavigationTree::find(const QString& key)
{
    const auto it = index_.constFind(key);
    return it == index_.constEnd() ? nullptr : &nodes_[*it];
}

bool NavigationTree::hasChildren(const QString& key) const
{
    return std::any_of(nodes_.begin(), nodes_.end(), [&](const NavNode& node) { return node.parentKey == key; });
}

QStringList NavigationTree::childKeys(const QString& key) const
{
    std::vector<const NavNode*> children;
    for (const NavNode& node : nodes_) {
        if (node.parentKey == key)
            children.push_back(&node);
    }
    const NavNode* parent = find(key);
    if (parent && parent->sorted) {
        std::stable_sort(children.begin(), children.end(), [](const NavNode* a, const NavNode* b) {
            return a->caption.compare(b->caption, Qt::CaseInsensitive) < 0;
        });
    }
    QStringList keys;
    keys.reserve(static_cast<qsizetype>(children.size()));
    for (const NavNode* child : children)
        keys.append(child->key);
    return keys;
}

} // namespace glyphary
