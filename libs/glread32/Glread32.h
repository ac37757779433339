#pragma once
// The archive reader library: unpacks one member of a password-protected zip archive into a
// folder through the six addUNZIP_* calls. One object stands for the loaded library: what the
// first five calls set is kept until changed, and addUNZIP performs the extraction.
//
// String arguments are ANSI (Windows-1252) Windows paths and names, mapped to the host through
// the emulated root. A member is written only whole and checked: it goes to a temporary file in
// the target folder and is renamed into place once libzip has read it to the end without a CRC,
// password or data error, so a failed extraction never leaves a file behind.

#include "platform/WindowsPaths.h"

#include <QString>
#include <cstdint>
#include <string>

namespace glyphary {

class Glread32 {
public:
    // Statuses returned by the calls.
    enum Status : int {
        Ok = 0,
        ArchiveUnreadable = 1, // no archive chosen, missing, or not a zip archive
        MemberNotFound = 2,    // no member of that name (case ignored)
        WrongPassword = 3,     // none given for an encrypted member, or the password check failed
        WriteFailed = 4,       // target folder missing, or the file could not be written or renamed
        BadMemberName = 5,     // not a plain file name; nothing is written
        MemberUnreadable = 6,  // CRC mismatch, bad compressed data, unsupported method or cipher
        MemberTooLarge = 7,    // more than kMaxMemberSize bytes once unpacked
        TargetExists = 8,      // the file exists and overwriting is off; it is left as it is
    };

    // addUNZIP_Overwrite mode that replaces existing files; any other mode keeps them.
    static constexpr int kOverwriteExisting = 11;
    // Library pictures are far smaller; the cap stops zip bombs from filling the disk.
    static constexpr std::uint64_t kMaxMemberSize = 64u * 1024u * 1024u;

    // `paths` must outlive this object.
    explicit Glread32(const platform::WindowsPaths& paths);

    // Chooses the archive (a Windows path). ArchiveUnreadable when no such file exists yet; the
    // name is kept either way.
    int addUNZIP_ArchiveName(std::string& archivePath);
    // The password, as raw bytes; "" means none.
    int addUNZIP_Decrypt(const std::string& password);
    // The member to extract, which is also the output file name. BadMemberName for anything but
    // a plain file name; the name is kept either way and addUNZIP refuses it again.
    int addUNZIP_Include(const std::string& memberName);
    // The target folder (a Windows path). Rewrites the buffer to end in exactly one backslash.
    // WriteFailed when the folder does not exist.
    int addUNZIP_ExtractTo(std::string& folder);
    int addUNZIP_Overwrite(int mode);
    // Extracts the chosen member into the target folder.
    int addUNZIP();

private:
    const platform::WindowsPaths& paths_;
    QString archivePath_;
    std::string password_;
    QString memberName_;
    QString targetFolder_;
    bool overwrite_ = false;
};

} // namespace glyphary
