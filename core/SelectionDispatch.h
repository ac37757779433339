#pragma once
// What the result list's mouse and key events and the tool bar buttons run. Commands are named by
// the menu entry that runs them (MainSession::runEntry); "" runs nothing.

#include "core/Command.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

class QMimeData;

namespace glyphary::platform {
class WindowsPaths;
}

namespace glyphary {

// The bold default entry of the result popup for an effective double-click action; nullptr for
// "None" and any other text.
const char* defaultPopupEntry(QStringView action);

struct InformationMessage {
    QString text;
    QString title;
    int flags = 0; // MB_* numbers
};

struct DoubleClickDispatch {
    QString command;
    std::optional<InformationMessage> message; // for "None": where to choose an action
};

// A double-click on a row with the selection's effective action. "Zoom" runs the popup's Zoom
// (at the "DCZoom" level, zoomCommandFor); any text other than the ten actions does nothing.
DoubleClickDispatch doubleClickDispatch(QStringView action, const QString& windowCaption);

constexpr int kDeleteKeyCode = 46;
// Delete in the list: references and favorites are deleted, other items stay.
QString deleteKeyCommand(int keyCode, QStringView origin);

// Files dragged over the list (a list of local files) are accepted and the row under the pointer
// becomes the drop target; any other data is refused.
bool acceptsFileDrag(const QMimeData* data);
// The Windows paths of the local files a drag carries, in order.
QStringList droppedFiles(const QMimeData* data, const platform::WindowsPaths& paths);

// The zoom entry for a "DCZoom" level: 0 is 2:1, 1 is 3:1, 2 is 4:1, 3 is 5:1, anything else 10:1.
QString zoomCommandFor(int level);

// The list view's view (0 large icons, 2 list, 3 details).
struct ButtonContext {
    int doubleClickZoom = 4;
    int currentView = 0;
};

// A button of either tool bar or an entry of its drop-down menu, by key: the entry it runs. The
// view button steps to the next view (large icons, list, details, large icons again), the zoom
// button zooms at the "DCZoom" level; "abort" and unknown keys give "".
QString buttonCommand(QStringView key, const ButtonContext& context);

// The keys of the main window: the "3" and "2" keys page back and forth (not Page Up and Page
// Down) when released; Esc aborts when pressed, wherever the focus is.
std::optional<Command> keyReleaseCommand(int key);
bool keyAborts(int key);

// A click on the page display offers the pages, unless there is only the one or the window is
// locked.
bool pageDisplayOffersPages(const QString& pageText, bool navigationEnabled);

} // namespace glyphary
