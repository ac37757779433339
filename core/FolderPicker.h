#pragma once
// The shared folder browser with the prompt of whoever asks.

#include <QString>
#include <optional>

namespace glyphary {

namespace platform { class DialogsPort; }

// Who asks for a folder decides the prompt.
enum class FolderPickerCaller { OptionsFavorites, ScanDialog, FolderIcon };

QString folderPickerPrompt(FolderPickerCaller caller);

// BrowseForFolder: the chosen path cut at its first zero character; nullopt when cancelled.
std::optional<QString> BrowseForFolder(platform::DialogsPort& dialogs, FolderPickerCaller caller,
                                       const QString& initialPath);

} // namespace glyphary
