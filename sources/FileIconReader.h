#pragma once
// Icons on disk into the result list: a file's extension says what it is; each icon of a library,
// the single picture of an .ico or .cur file, or each step of an animation becomes one "open" item
// (path;number;label;type code + "open") appended to cmbResult.

#include "core/ItemList.h"
#include "platform/IconFunctions.h"
#include "platform/WindowsPaths.h"

#include <QElapsedTimer>
#include <QImage>
#include <QString>

namespace glyphary {

// What the reader needs of the main window.
class FileIconReaderHost {
public:
    virtual ~FileIconReaderHost() = default;
    // The count panel's text: the result count followed by " Icon(s)".
    virtual void showCount(const QString& text) = 0;
    // Let pending events run.
    virtual void doEvents() = 0;
};

class FileIconReader {
public:
    FileIconReader(const platform::WindowsPaths& paths, platform::IconFunctions& icons, ItemList& cmbResult,
        FileIconReaderHost& host);

    // Read file icons: the last three characters of the path, lower-cased, decide: "ani" adds one
    // item per animation step that draws, "ico", "cur", "icl", "dll" and "exe" one per icon that
    // ExtractIconA counts; any other extension, or a file that is not what it says, adds nothing.
    // Items are appended without a duplicate test.
    void ReadFileIcons(const QString& file);
    // The same, with `extension` (lower case, three letters) deciding instead of the path's.
    void ReadFileIconsAs(const QString& file, const QString& extension);

private:
    // Add file icons: positions 1 to the total, or the current frame of an animation.
    void AddFileIcons(const QString& file);
    void addItem(const QString& file, int number, const QString& label, QChar typeCode);

    const platform::WindowsPaths& paths_;
    platform::IconFunctions& icons_;
    ItemList& cmbResult_;
    FileIconReaderHost& host_;

    QString extension_;
    int total_ = 0;
    int frameNumber_ = 0;
    platform::LoadedIcon animation_; // released after each animation
    QImage picOpen_;                 // where animation steps are drawn to see whether they exist
    QElapsedTimer sinceEvents_;
};

} // namespace glyphary
