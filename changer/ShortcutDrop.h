#pragma once
// Files dropped on a result icon: a dropped shortcut gets that icon, any other file a new shortcut,
// saved where the person chooses, that starts it and shows that icon.

#include "changer/NumberedIcon.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace glyphary {
class MainSession;
struct SelectedRow;
}

namespace glyphary::changer {

inline const QString kCreateShortcutTitle = QStringLiteral("Create Shortcut");
inline const QString kChangeShortcutTitle = QStringLiteral("Change Shortcut");

class ShortcutDrop {
public:
    explicit ShortcutDrop(MainSession& session);

    // The session's dropped files, in order, given the selected row's icon.
    void drop();

private:
    enum class Outcome { Written, Skipped, Failed, Full };
    Outcome dropOne(const QString& path, const SelectedRow& row, bool& samePath, QString& error);
    // The shortcut a dropped non-shortcut gets; nullopt when the person cancels.
    std::optional<QString> chooseNewShortcut();

    MainSession& session_;
    NumberedIconWriter icons_;
};

} // namespace glyphary::changer
