#pragma once
// The core library: the catalogue's icon pictures, shipped as members "N.lib" (a LibraryGrid
// picture each) of password-protected archives in the program folder, "Iconlib.res" and its
// continuations "Iconlib1.res" to "Iconlib9.res". A member is unpacked into the temporary folder
// when first needed and its picture kept until another member is asked for.

#include "libs/glread32/Glread32.h"

#include <QImage>
#include <QString>

#include <optional>

namespace glyphary {

struct AppContext;

inline constexpr char kLibraryPassword[] = "Quenchbarrow";
inline constexpr int kLastLibraryMember = 324;

// The archive holding member `number`: 1-86 "Iconlib.res", 87-124 "Iconlib1.res", then 25 members
// each up to 300-324 "Iconlib9.res"; nullopt outside 1-324.
std::optional<QString> archiveNameForMember(int number);

// Members are named by 1 to 9 decimal digits. Nothing else may reach a file name: member + ".lib"
// is a file in the temporary folder, and "..\x", "C:\x" or "1/2" would name one elsewhere.
bool isLibraryMemberName(const QString& member);

class CoreLibrary {
public:
    explicit CoreLibrary(AppContext& context);

    // Makes `member`'s picture the current one. The member loaded last is kept in memory: asking
    // for it again touches no file. Otherwise TempFolder + member + ".lib" is unpacked from its
    // archive unless it is there already (a file left from earlier is used as it is), then loaded.
    // libraryAvailable() tells whether the member's picture is now current; when it is not (a member
    // name refused, archive missing or unreadable, wrong password, member absent, picture broken),
    // the picture of the member loaded before stays, still recorded as the last loaded member.
    void MakeLibraryCurrent(const QString& member);

    bool libraryAvailable() const { return libraryAvailable_; }
    const QString& lastLoadedMember() const { return lastLoadedMember_; }
    // The archive chosen last; a member outside 1-324 keeps it.
    const QString& currentArchiveName() const { return currentArchiveName_; }
    // The status of the last archive reader call (Glread32::Status).
    int lastStatus() const { return status_; }
    // Unpacks done so far; each asks the archive reader for one member.
    int unpackCount() const { return unpackCount_; }

    const QImage& picture() const { return picture_; }
    // Cell n of the current picture (LibraryGrid numbering); a null image when there is no such cell.
    QImage GraphicCell(int n) const;

private:
    void unpack(const QString& member);
    bool load(const QString& member, const QString& libraryFile);

    AppContext& context_;
    Glread32 reader_;
    QString currentArchiveName_;
    QString lastLoadedMember_;
    QImage picture_;
    bool libraryAvailable_ = false;
    int status_ = Glread32::Ok;
    int unpackCount_ = 0;
};

} // namespace glyphary
