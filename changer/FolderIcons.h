#pragma once
// Change Any Folder and Default folder icon: a folder's icon named in its desktop.ini, the System
// attribute that makes Windows read it, and for folders of the Linux desktop the icon its file
// managers show.

#include "changer/NumberedIcon.h"

#include <QString>

namespace glyphary {
class MainSession;
namespace platform {
class ProgramLauncher;
}
}

namespace glyphary::changer {

inline const QString kFolderIconTitle = QStringLiteral("Change Any Folder");
inline const QString kNoAttributeText = QStringLiteral(
    "The folder icon was written, but this file system does not keep the folder's System attribute (it stores "
    "Windows attributes in extended attributes, which it refuses). Windows programs may not show the folder's icon.");

class FolderIcons {
public:
    FolderIcons(MainSession& session, platform::ProgramLauncher& launcher);
    void setLauncher(platform::ProgramLauncher& launcher) { launcher_ = &launcher; }

    // mnuToolsChangeFolder: the selected result icon for a folder the person chooses.
    void change();
    // mnuToolsDefaultFolder: the chosen folder's own icon taken away.
    void reset();

private:
    struct Folder;
    std::optional<Folder> chooseFolder();
    QString currentIconFile(const Folder& folder) const;
    void setAttributes(const Folder& folder, std::uint32_t attributes);
    bool writeKeys(const Folder& folder, const QString& iconFile, const QString& iconIndex, QString& error);
    void report(const char* procedure, long number, const QString& description);

    MainSession& session_;
    platform::ProgramLauncher* launcher_;
    NumberedIconWriter icons_;
    bool busy_ = false;
    bool attributeRefusalTold_ = false;
};

} // namespace glyphary::changer
