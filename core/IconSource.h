#pragma once
// The icons behind one family of navigation nodes beyond the catalogue (shortcuts, cursors, cursor
// schemes, file types, system icons, favorites). The subsystem that reads a family registers its
// source with IconSources; a family without a source says so in the "message" panel.

#include <QString>
#include <vector>

namespace glyphary {

class ItemList;
class ListingHost;

enum class SourceFamily { Shortcuts, CurrentCursors, CursorScheme, FileTypes, SystemIcons, Favorites };

// The "System" groups of the table of Windows system icons (SourceRequest::number).
enum class SystemIconGroup { Desktop, Start, Drives, Folders, Files };

// What a node asks of its family: the name its key carries ("Desktop" or "Start Menu", a scheme, a
// favorites folder as a Windows path) or its number (the system icon group).
struct SourceRequest {
    QString name;
    int number = 0;
};

// A node that a family adds below its branch when the tree is built.
struct SourceNode {
    QString key;
    QString caption;
    QString image;
    QString parentKey;
    QString selectedImage; // shown while selected or expanded; "" for the image
    bool expanded = false;
    bool sorted = false;   // children shown in name order
};

class IconSource {
public:
    virtual ~IconSource() = default;
    // Fills the result list for `request` and starts its listing.
    virtual void list(const SourceRequest& request) = 0;
    virtual std::vector<SourceNode> nodes() { return {}; }
    // The keyword search's hits of the family for `keyword`, appended to `results`.
    virtual void addKeywordHits(const QString& keyword, ItemList& results)
    {
        (void)keyword;
        (void)results;
    }
    // The selected result icon dropped into `folder` (a Windows path): true when it was taken.
    virtual bool takeDrop(const QString& folder)
    {
        (void)folder;
        return false;
    }
    // Removes the selected result icon from the family: the second half of a move.
    virtual void removeSelected() {}
};

inline const QString kSourceMissingText = QStringLiteral("This version of Glyphary cannot list these icons yet.");

// The registered sources, one per family. Not owning.
class IconSources {
public:
    void add(SourceFamily family, IconSource& source);
    IconSource* find(SourceFamily family) const;

    // The family's listing; without a source, `host` shows kSourceMissingText and nothing is listed.
    void list(SourceFamily family, const SourceRequest& request, ListingHost& host) const;
    std::vector<SourceNode> nodes(SourceFamily family) const;
    void addKeywordHits(SourceFamily family, const QString& keyword, ItemList& results) const;
    bool takeDrop(SourceFamily family, const QString& folder) const;
    void removeSelected(SourceFamily family) const;

private:
    static constexpr int kFamilies = static_cast<int>(SourceFamily::Favorites) + 1;
    IconSource* sources_[kFamilies] = {};
};

} // namespace glyphary
