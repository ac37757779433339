#include "core/FolderPicker.h"

#include "core/FileHelpers.h"
#include "platform/DialogsPort.h"

namespace glyphary {

QString folderPickerPrompt(FolderPickerCaller caller)
{
    switch (caller) {
    case FolderPickerCaller::OptionsFavorites:
        return QStringLiteral("Select a valid Folder. Do not select system objects like Printers, Control Panel etc.");
    case FolderPickerCaller::ScanDialog:
        return QStringLiteral("Select a valid Folder. Do not select system objects like Printers, Control Panel etc. Network Folders are allowed.");
    case FolderPickerCaller::FolderIcon:
        return QStringLiteral("Select a valid Folder. The Folder icon will be replaced by the currently selected icon.");
    }
    return {};
}

std::optional<QString> BrowseForFolder(platform::DialogsPort& dialogs, FolderPickerCaller caller,
                                       const QString& initialPath)
{
    const auto chosen = dialogs.browseForFolder(folderPickerPrompt(caller), initialPath);
    if (!chosen)
        return std::nullopt;
    return CutAtNul(*chosen);
}

} // namespace glyphary
