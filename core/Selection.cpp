#include "core/Selection.h"

#include "core/TypeTexts.h"

#include <algorithm>

namespace glyphary {

namespace {

// What the reaction makes of a Type text, by the type code that gives the text.
struct TypeTraits {
    char16_t code;
    QLatin1StringView picture;
    bool animation;  // Play
    bool changeable; // Change: icons that Windows owns
    std::bitset<9> referenceTypes;
    int preselected; // -1: none
};

constexpr unsigned long kIconTypes = 0b000000111;   // 0, 1, 2
constexpr unsigned long kAnimationTypes = 0b000111000; // 3, 4, 5
constexpr unsigned long kLibraryTypes = 0b111000111;   // 0, 1, 2, 6, 7, 8

constexpr std::array<TypeTraits, 19> kTypeTraits{{
    {u'0', picture::TypeIcon, false, false, 1UL << 0, 0},
    {u'1', picture::TypeIcon, false, false, 1UL << 1, 1},
    {u'2', picture::TypeIcon, false, false, 1UL << 2, 2},
    {u'3', picture::TypeAnimation, true, false, kAnimationTypes, 5},
    {u'4', picture::TypeAnimation, true, false, kAnimationTypes, 5},
    {u'5', picture::TypeAnimation, true, false, kAnimationTypes, 5},
    {u'6', picture::TypeCursor, false, false, 1UL << 6, 6},
    {u'7', picture::TypeCursor, false, false, 1UL << 7, 7},
    {u'8', picture::TypeCursor, false, false, 1UL << 8, 8},
    {u'a', picture::TypeAnimation, true, false, kAnimationTypes, 5},
    {u'g', picture::TypeAnimation, true, true, kAnimationTypes, 5},
    {u'c', picture::TypeCursor, false, true, 1UL << 8, 8},
    {u't', picture::TypeCursor, false, false, 1UL << 8, 8},
    {u'd', picture::TypeLibrary, false, false, kLibraryTypes, 2},
    {u'e', picture::TypeLibrary, false, false, kLibraryTypes, 2},
    {u'i', picture::TypeLibrary, false, false, kLibraryTypes, 2},
    {u's', picture::TypeShortcut, false, true, 0, -1},
    {u'f', picture::TypeFileType, false, true, kIconTypes, 2},
    {u'w', picture::TypeSystem, false, true, 0, -1},
}};

constexpr char16_t kShortcutCode = u's';

struct TypeEntry {
    QString text;
    const TypeTraits* traits;
};

// The reaction compares Type texts, not codes: the row carries only its text.
const TypeTraits* traitsOfTypeText(const QString& typeText)
{
    static const std::vector<TypeEntry> entries = [] {
        std::vector<TypeEntry> built;
        for (const TypeTraits& traits : kTypeTraits)
            built.push_back({TypeText(QChar(traits.code)), &traits});
        return built;
    }();
    for (const TypeEntry& entry : entries) {
        if (entry.text == typeText)
            return entry.traits;
    }
    return nullptr;
}

std::size_t indexOf(Command command)
{
    const auto found = std::find(kSelectionCommands.begin(), kSelectionCommands.end(), command);
    return static_cast<std::size_t>(found - kSelectionCommands.begin());
}

const CommandControls* controlsOf(Command command)
{
    for (const CommandControls& controls : kCommandControls) {
        if (controls.command == command)
            return &controls;
    }
    return nullptr;
}

} // namespace

DoubleClickSettings DoubleClickSettings::from(const MainWindowSettings& settings)
{
    return {settings.doubleClickAction, settings.doubleClickPlay, settings.doubleClickReferences,
            settings.doubleClickRun, settings.doubleClickChange, settings.doubleClickZoom};
}

std::optional<bool> SelectionState::command(Command which) const
{
    const std::size_t index = indexOf(which);
    return index < commands.size() ? commands[index] : std::nullopt;
}

void SelectionState::setCommand(Command which, bool enabled)
{
    const std::size_t index = indexOf(which);
    if (index < commands.size())
        commands[index] = enabled;
}

SelectionState selectionReaction(const std::optional<SelectedRow>& row, const SelectionContext& context,
                                 const MessagePanel& panel)
{
    SelectionState state;
    if (!row)
        return state;
    state.hasSelection = true;
    const DoubleClickSettings& doubleClick = context.doubleClick;
    const TypeTraits* type = traitsOfTypeText(row->type);

    // 1.
    state.doubleClickAction = doubleClick.action;

    // 2. The first selection after the view was cleared.
    if (!context.propertiesEnabled) {
        state.areaPicture = picture::LedOff;
        for (Command command : {Command::Properties, Command::Copy, Command::SaveAs, Command::EditWith, Command::Zoom})
            state.setCommand(command, true);
        state.toPageEnabled = context.pageCount >= 2;
        if (context.folderIconsSupported)
            state.setCommand(Command::ChangeFolder, true);
    }

    // 3.
    state.listTag = row->name;

    // 4. Run is only ever enabled here: it stays until the view is cleared.
    state.typeText = row->type;
    if (type) {
        state.typePicture = type->picture;
        if (type->code == kShortcutCode) {
            state.setCommand(Command::Run, true);
            if (doubleClick.run)
                state.doubleClickAction = QStringLiteral("Run");
        }
    }

    // 5. Catalogue icons have no file to show.
    if (row->origin != u"Glyphary") {
        const QString path = longPathOfItem(row->item, panel.longName);
        state.message = pathForPanel(path, panel.width, panel.textWidth);
    }

    // 6.
    const bool animation = type && type->animation;
    state.setCommand(Command::Play, animation);
    if (animation && doubleClick.play)
        state.doubleClickAction = QStringLiteral("Play");

    // 7.
    const bool fromFile = row->origin.startsWith(u"File");
    state.setCommand(Command::AddReference, fromFile);
    if (fromFile) {
        if (doubleClick.references)
            state.doubleClickAction = QStringLiteral("Ref");
        if (type) {
            state.referenceTypes.enabled = type->referenceTypes;
            if (type->preselected >= 0)
                state.referenceTypes.preselected = type->preselected;
        }
    }

    // 8.
    const bool reference = row->origin == u"Reference";
    state.setCommand(Command::DeleteReference, reference);

    // 9.
    const bool changeable = type && type->changeable;
    state.setCommand(Command::Change, changeable);
    if (changeable && doubleClick.change)
        state.doubleClickAction = QStringLiteral("Change");

    // 10.
    state.setCommand(Command::AddFavorite, true);

    // 11.
    state.setCommand(Command::DeleteFavorite, row->origin == u"File Favorite");

    // 12.
    return state;
}

bool popupEntryHides(Command command)
{
    switch (command) {
    case Command::Properties:
    case Command::Copy:
    case Command::SaveAs:
    case Command::EditWith:
    case Command::Zoom:
        return false;
    default:
        return true;
    }
}

std::vector<ControlSetting> controlSettings(const SelectionState& state)
{
    using Kind = ControlSetting::Kind;
    using Property = ControlSetting::Property;
    std::vector<ControlSetting> settings;
    settings.reserve(4 * kSelectionCommands.size() + 2);
    for (std::size_t i = 0; i < kSelectionCommands.size(); ++i) {
        if (!state.commands[i])
            continue;
        const bool on = *state.commands[i];
        const Command command = kSelectionCommands[i];
        const CommandControls* controls = controlsOf(command);
        if (!controls)
            continue;
        // Zoom's main menu entry is the Tools submenu.
        settings.push_back({command == Command::Zoom ? Kind::Menu : Kind::MenuEntry, controls->menu, Property::Enabled, on});
        if (controls->popup) {
            if (popupEntryHides(command)) {
                settings.push_back({Kind::PopupEntry, controls->popup, Property::Visible, on});
                if (on)
                    settings.push_back({Kind::PopupEntry, controls->popup, Property::Enabled, true});
            } else {
                settings.push_back({Kind::PopupEntry, controls->popup, Property::Enabled, on});
            }
        }
        if (controls->toolbarKey)
            settings.push_back({Kind::ToolbarButton, controls->toolbarKey, Property::Enabled, on});
    }
    if (state.toPageEnabled) {
        settings.push_back({Kind::Menu, "mnuGoToPage", Property::Enabled, *state.toPageEnabled});
        settings.push_back({Kind::Menu, "mnuGoBar", Property::Enabled, *state.toPageEnabled});
    }
    return settings;
}

} // namespace glyphary
