#pragma once
// The result list's selection reaction: from the selected row's Type and Origin texts, which
// commands make sense, what the status bar shows, and which action a double-click runs. The
// reaction only computes a SelectionState; the main window applies it.

#include "core/MainWindowLoad.h"
#include "core/ResultPageView.h"
#include "core/SelectionPath.h"

#include <QLatin1StringView>
#include <QString>
#include <array>
#include <bitset>
#include <optional>
#include <vector>

namespace glyphary {

// Pictures of the "type" panel, by the class of the Type text.
namespace picture {
inline constexpr QLatin1StringView TypeIcon("icon");
inline constexpr QLatin1StringView TypeAnimation("typeani");
inline constexpr QLatin1StringView TypeCursor("cursor");
inline constexpr QLatin1StringView TypeLibrary("library");
inline constexpr QLatin1StringView TypeShortcut("shortcut");
inline constexpr QLatin1StringView TypeFileType("aso");
inline constexpr QLatin1StringView TypeSystem("system");
} // namespace picture

// The selected list view item: its text, its two sub-items and its Tag.
struct SelectedRow {
    QString name;
    QString type;   // the Type column
    QString origin; // the Origin column
    QString item;   // the result item
    QImage image{}; // its picture in the result image list (imlResult32)
    QImage sharpImage{}; // the same at the screen's pixel ratio; null where the row has none

    // The picture to show the row with: the sharp one where there is one.
    const QImage& picture() const { return sharpImage.isNull() ? image : sharpImage; }
};

// The Double Click settings ("DCAction", "DCPLay", "DCRef", "DCRun", "DCChange", "DCZoom").
struct DoubleClickSettings {
    QString action = QStringLiteral("None");
    bool play = false;
    bool references = false;
    bool run = false;
    bool change = false;
    int zoom = 4;

    static DoubleClickSettings from(const MainWindowSettings& settings);
};

// What the reaction reads from the window besides the row.
struct SelectionContext {
    // Properties is disabled from the clearing of the view until the first selection after it;
    // that selection enables the commands every icon has.
    bool propertiesEnabled = false;
    int pageCount = 1;
    bool folderIconsSupported = false;
    DoubleClickSettings doubleClick;
};

// How the "message" panel is measured.
struct MessagePanel {
    LongNameFunction longName;
    TextWidthFunction textWidth = characterCount;
    int width = 80;
};

// The reference dialog's nine type options (optType, index = type digit).
struct ReferenceTypeOptions {
    std::bitset<9> enabled;
    std::optional<int> preselected;

    friend bool operator==(const ReferenceTypeOptions&, const ReferenceTypeOptions&) = default;
};

struct SelectionState {
    bool hasSelection = false;

    // Per selection command: nullopt leaves its menu entry, popup entry and button as they are.
    std::array<std::optional<bool>, kSelectionCommands.size()> commands{};
    // The "To Page" submenu and the GoBar popup.
    std::optional<bool> toPageEnabled;
    std::optional<QLatin1StringView> areaPicture;

    QString listTag; // pnlResult's own Tag: the selected item's name
    QString typeText;
    std::optional<QLatin1StringView> typePicture;
    std::optional<QString> message;
    ReferenceTypeOptions referenceTypes;

    // "None", "Copy", "Save", "Zoom", "Play", "Ref", "Run", "Prop", "Change", "EditWith" or any
    // other text of "DCAction"; "" without a selection.
    QString doubleClickAction;

    std::optional<bool> command(Command which) const;
    void setCommand(Command which, bool enabled);
};

// Runs the reaction in its order; later steps override earlier ones. Without a row nothing
// changes and a double-click does nothing.
SelectionState selectionReaction(const std::optional<SelectedRow>& row, const SelectionContext& context,
                                 const MessagePanel& panel);

// Popup entries that are shown and hidden with their command; the others are enabled and disabled.
bool popupEntryHides(Command command);

// One property of one control, in the order the window should set them.
struct ControlSetting {
    enum class Kind { MenuEntry, PopupEntry, ToolbarButton, Menu };
    enum class Property { Enabled, Visible };
    Kind kind;
    const char* name;
    Property property;
    bool on;
};

// The state's command changes as control properties. A popup entry that hides is also enabled
// along with being shown, since clearing the view disables it.
std::vector<ControlSetting> controlSettings(const SelectionState& state);

} // namespace glyphary
