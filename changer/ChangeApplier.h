#pragma once
// Writing a change of one target: the new icon into a numbered file of the Icons folder, the
// registry value or the shortcut that names it, the file type's backup, and the way back to the
// Windows default. Either the whole change lands or nothing does: the new file is removed when the
// value cannot be written, and the icon used before goes only once the new one is in place.

#include "changer/ChangeTarget.h"
#include "changer/IconsFolder.h"
#include "libs/glsave32/Glsave32.h"
#include "platform/IconFunctions.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <vector>

namespace glyphary {
struct AppContext;
class RegistryText;
}

namespace glyphary::changer {

// What was dropped on New: one picture, or every frame of an animation.
struct NewIcon {
    std::vector<QImage> frames;
    bool animated = false;
};

// The dropped item's type code gives an animated cursor for "3", "4", "5", "9" and "a".
bool isAnimatedTypeCode(QChar typeCode);

struct ApplyOutcome {
    bool changed = false;
    QString error;        // names what could not be changed; "" after a change
    QStringList written;  // what was written, one line each
    QString newIconFile;  // the numbered file written; "" for Windows Default
    bool samePath = false; // a shortcut's new icon file has the name of the one it replaced
};

class ChangeApplier {
public:
    explicit ChangeApplier(AppContext& context);

    // The Windows default of the target as New shows it; a null icon when it cannot be had.
    platform::Icon windowsDefault(const ChangeTarget& target);

    // Applies `icon`, or the Windows default when it is null. The target's icon file follows.
    ApplyOutcome apply(ChangeTarget& target, const NewIcon* icon);

    // Where the Recycle Bin keeps its icons for the emulated Windows version.
    QString recycleBinKey() const;

private:
    struct Staged;
    ApplyOutcome applyFileType(ChangeTarget& target, const NewIcon* icon);
    ApplyOutcome applySystemIcon(ChangeTarget& target, const NewIcon* icon);
    ApplyOutcome applyCursor(ChangeTarget& target, const NewIcon* icon);
    ApplyOutcome applyShortcut(ChangeTarget& target, const NewIcon* icon);

    // Writes the icon to a free number of the Icons folder (beside it while the name is still the
    // old file's); false with the outcome's error set when it could not.
    bool stage(Staged& staged, const NewIcon& icon, const QString& extension, const QString& oldFile,
               ApplyOutcome& outcome);
    // The new file takes its name and the old one of ours goes.
    void commit(const Staged& staged, const QString& oldFile, ApplyOutcome& outcome);
    void discard(const Staged& staged);
    // Ends the change's registry batch: with every value saved the new file takes its name,
    // otherwise nothing of the change stays. False when it did not land.
    bool land(bool written, const Staged& staged, const QString& oldFile, const QString& what, ApplyOutcome& outcome);
    // A string value set inside the caller's registry batch.
    bool setValue(platform::HKEY root, const QString& keyPath, const QString& valueName, const QString& text,
                  ApplyOutcome& outcome);
    QString registryText(platform::HKEY root, const QString& keyPath, const QString& valueName) const;
    platform::Icon iconAt(const QString& location);

    AppContext& context_;
    IconsFolder icons_;
    Glsave32 writer_;
    platform::IconFunctions reader_;
};

} // namespace glyphary::changer
