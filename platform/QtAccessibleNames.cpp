#include "platform/QtAccessibleNames.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QToolButton>
#include <QWidget>

#include <array>

namespace glyphary::platform {
namespace {

// The kind prefixes of the program's control names.
constexpr std::array kPrefixes{"chk", "cmb", "cmd", "dlg", "fra", "frm", "img", "lbl", "lne", "lst", "mnu", "opt",
                               "pic", "pnl", "prg", "shp", "sld", "tbs", "tmr", "txt"};

// What unnamed parts of a window are, where nothing else names them.
struct KindWord {
    const char* className;
    const char* word;
};
constexpr std::array kKindWords{KindWord{"QMenuBar", "Menu bar"}, KindWord{"QStatusBar", "Status bar"},
                                KindWord{"QToolBar", "Tool bar"}, KindWord{"QScrollBar", "Scroll bar"},
                                KindWord{"QTabBar", "Tabs"}};

// "&Open...\tCtrl+O" reads "Open..."; "A&&B" reads "A&B"; markup goes.
QString plainText(const QString& text)
{
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    QString shown = text.left(text.indexOf(u'\t') < 0 ? text.size() : text.indexOf(u'\t'));
    shown.remove(tags);
    QString out;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (shown[i] == u'&') {
            if (i + 1 < shown.size() && shown[i + 1] == u'&')
                out += shown[++i];
            continue;
        }
        out += shown[i];
    }
    return out.simplified();
}

// The text a person reads on or over the widget itself.
QString ownText(const QWidget* widget)
{
    QString text;
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        text = button->text();
        if (const auto* tool = qobject_cast<const QToolButton*>(widget); text.isEmpty() && tool && tool->defaultAction())
            text = tool->defaultAction()->text();
    } else if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
        text = group->title();
    } else if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        text = label->text();
    } else if (const auto* menu = qobject_cast<const QMenu*>(widget)) {
        text = menu->title();
    } else if (widget->isWindow()) {
        text = widget->windowTitle();
    }
    text = plainText(text);
    return text.isEmpty() ? plainText(widget->toolTip()) : text;
}

bool isQtPart(const QString& objectName)
{
    return objectName.startsWith(u"qt_");
}

QString kindWord(const QWidget* widget)
{
    for (const KindWord& kind : kKindWords)
        if (widget->inherits(kind.className))
            return QString::fromLatin1(kind.word);
    return QString();
}

QString nearestNamedAncestor(const QWidget* widget, const QWidget* window)
{
    for (QWidget* up = widget->parentWidget(); up; up = up->parentWidget()) {
        if (const QString name = spokenName(up); !name.isEmpty())
            return name;
        if (up == window)
            break;
    }
    return QString();
}

} // namespace

QString readableControlName(const QString& objectName)
{
    if (objectName.isEmpty() || isQtPart(objectName))
        return QString();
    QString name = objectName;
    for (const char* prefix : kPrefixes) {
        const QLatin1StringView kind(prefix);
        if (name.size() > kind.size() && name.startsWith(kind) && name[kind.size()].isUpper()) {
            name = name.mid(kind.size());
            break;
        }
    }
    QString words;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c == u'_') {
            words += u' ';
            continue;
        }
        if (c.isUpper() && i > 0 && (name[i - 1].isLower() || name[i - 1].isDigit()))
            words += u' ';
        words += c;
    }
    words = words.simplified();
    if (!words.isEmpty())
        words[0] = words[0].toUpper();
    return words;
}

QString spokenName(QWidget* widget)
{
    const QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name) : widget->accessibleName();
}

void nameControls(QWidget* window)
{
    if (!window)
        return;
    QList<QWidget*> widgets{window};
    widgets += window->findChildren<QWidget*>();
    // Parents come before their children, so that a part can take its control's name.
    for (QWidget* widget : widgets) {
        // What Qt already reads (a button's or label's text, a buddy label's text) is left to it,
        // so that a text that changes is read as it is now.
        if (!spokenName(widget).isEmpty())
            continue;
        QString name = ownText(widget);
        if (name.isEmpty())
            name = readableControlName(widget->objectName());
        if (name.isEmpty())
            name = kindWord(widget);
        // Unnamed containers that take no focus stay silent; a focusable part speaks as its control.
        if (name.isEmpty() && widget->focusPolicy() != Qt::NoFocus)
            name = nearestNamedAncestor(widget, window);
        if (!name.isEmpty())
            widget->setAccessibleName(name);
    }
}

bool AccessibleNamer::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow())
            nameControls(widget);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace glyphary::platform
