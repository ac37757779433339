#include "changer/FolderIcons.h"

#include "changer/DesktopFolderIcon.h"
#include "changer/Reminders.h"
#include "core/AppContext.h"
#include "core/FolderPicker.h"
#include "core/MainSession.h"
#include "core/MainWindowPort.h"
#include "core/TypeTexts.h"
#include "formats/Cp1252.h"
#include "platform/DosAttributes.h"
#include "platform/ProfileFile.h"
#include "platform/Win32Types.h"

#include <QFile>
#include <QFileInfo>

namespace glyphary::changer {

using namespace platform;

namespace {

constexpr std::string_view kSection = ".ShellClassInfo";
// GetPrivateProfileString's buffer: 127 characters and the terminating zero.
constexpr qsizetype kIconFileBuffer = 128;
// Visual Basic's "Path not found" and "Path/File access error".
constexpr long kPathNotFound = 76;
constexpr long kFileAccess = 75;

const char* const kChangeProcedure = "mnuToolsChangeFolder_Click";
const char* const kResetProcedure = "mnuToolsDefaultFolder_Click";

// Windows' C: drive is the emulated installation; any other drive is the Linux desktop's.
bool onLinuxDesktop(const QString& windowsFolder)
{
    return !windowsFolder.startsWith(QStringLiteral("C:"), Qt::CaseInsensitive);
}

// Clears the flag however the command ends.
struct BusyScope {
    explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
    ~BusyScope() { busy_ = false; }
    bool& busy_;
};

} // namespace

struct FolderIcons::Folder {
    QString windowsPath;
    QString host;
    QString ini; // host path of desktop.ini, found without regard to case
};

FolderIcons::FolderIcons(MainSession& session, ProgramLauncher& launcher)
    : session_(session), launcher_(&launcher), icons_(session.context())
{
}

std::optional<FolderIcons::Folder> FolderIcons::chooseFolder()
{
    AppContext& context = session_.context();
    const auto chosen = BrowseForFolder(context.platform.dialogs(), FolderPickerCaller::FolderIcon, QString());
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    QString windowsPath = *chosen;
    while (windowsPath.size() > 3 && windowsPath.endsWith(u'\\'))
        windowsPath.chop(1);
    const WindowsPaths& paths = context.platform.paths();
    Folder folder{windowsPath, paths.toHost(windowsPath), QString()};
    if (!folder.host.isEmpty())
        folder.ini = paths.toHost(windowsPath + (windowsPath.endsWith(u'\\') ? QString() : QStringLiteral("\\"))
                                  + QStringLiteral("desktop.ini"));
    return folder;
}

QString FolderIcons::currentIconFile(const Folder& folder) const
{
    const auto value = readProfileValue(folder.ini, kSection, "IconFile");
    if (!value)
        return {};
    const QString text = formats::fromCp1252(*value);
    // A path the buffer cut short could name another target's numbered file: it is never ours.
    return text.size() >= kIconFileBuffer - 1 ? QString() : text;
}

void FolderIcons::setAttributes(const Folder& folder, std::uint32_t attributes)
{
    if (setDosAttributes(folder.host, attributes) || attributeRefusalTold_)
        return;
    attributeRefusalTold_ = true;
    session_.context().platform.dialogs().messageBox(kNoAttributeText, kFolderIconTitle, MB_ICONINFORMATION);
}

bool FolderIcons::writeKeys(const Folder& folder, const QString& iconFile, const QString& iconIndex, QString& error)
{
    for (const auto& [key, text] : {std::pair{"IconFile", iconFile}, std::pair{"IconIndex", iconIndex}}) {
        const FileWriteResult written = writeProfileValue(folder.ini, kSection, key, formats::toCp1252(text));
        if (!written.ok) {
            error = QStringLiteral("%1 could not be written: %2").arg(folder.ini, written.errorString);
            return false;
        }
    }
    return true;
}

void FolderIcons::report(const char* procedure, long number, const QString& description)
{
    showErrorReport(session_.context().platform.dialogs(), ErrorInfo{number, QString::fromLatin1(procedure), description});
}

void FolderIcons::change()
{
    if (busy_)
        return;
    BusyScope busy(busy_);
    const std::optional<SelectedRow> row = session_.window().selectedRow();
    if (!row || row->image.isNull())
        return;
    const std::optional<Folder> folder = chooseFolder();
    if (!folder)
        return;
    if (folder->host.isEmpty() || !QFileInfo(folder->host).isDir()) {
        report(kChangeProcedure, kPathNotFound, QStringLiteral("The folder %1 does not exist.").arg(folder->windowsPath));
        return;
    }
    AppContext& context = session_.context();
    const QString previous = currentIconFile(*folder);
    const bool linux = onLinuxDesktop(folder->windowsPath);
    context.ColourDepth = ColourDepthFromTypeText(row->type);
    const NumberedIcon icon = icons_.write(row->image, context.ColourDepth, previous, linux);
    if (!icon.error.isEmpty()) {
        report(kChangeProcedure, kFileAccess, icon.error);
        return;
    }
    QString error;
    if (!writeKeys(*folder, icon.file, QStringLiteral("0"), error)
        || (linux && !setDesktopFolderIcon(*launcher_, folder->host, context.platform.paths().toHost(icons_.pngOf(icon.file)), error))) {
        icons_.discard(icon);
        report(kChangeProcedure, kFileAccess, error);
        return;
    }
    icons_.retire(previous, icon.file);
    setAttributes(*folder, kDosSystem);
    context.SystemIconsNeedRebuild = kTrue;
    remindToRebuild(session_, kFolderCache, kFolderIconTitle);
}

void FolderIcons::reset()
{
    if (busy_)
        return;
    BusyScope busy(busy_);
    const std::optional<Folder> folder = chooseFolder();
    if (!folder)
        return;
    if (folder->host.isEmpty() || !QFileInfo(folder->host).isDir()) {
        report(kResetProcedure, kPathNotFound, QStringLiteral("The folder %1 does not exist.").arg(folder->windowsPath));
        return;
    }
    AppContext& context = session_.context();
    const QString previous = currentIconFile(*folder);
    QString error;
    if (!writeKeys(*folder, QString(), QString(), error)) {
        report(kResetProcedure, kFileAccess, error);
        return;
    }
    if (onLinuxDesktop(folder->windowsPath)) {
        const QString picture = desktopFolderIcon(folder->host);
        if (!clearDesktopFolderIcon(*launcher_, folder->host, error)) {
            report(kResetProcedure, kFileAccess, error);
            return;
        }
        // A picture of ours whose .ico is not named any more goes with it.
        const QString pictureWindows = context.platform.paths().toWindows(picture);
        if (!picture.isEmpty() && icons_.pngOf(pictureWindows.left(pictureWindows.size() - 3) + QStringLiteral("ico")).compare(pictureWindows, Qt::CaseInsensitive) == 0)
            QFile::remove(picture);
    }
    icons_.retire(previous);
    setAttributes(*folder, 0);
    context.SystemIconsNeedRebuild = kTrue;
    remindToRebuild(session_, kFolderCache, kFolderIconTitle);
}

} // namespace glyphary::changer
