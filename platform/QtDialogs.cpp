#include "platform/QtDialogs.h"

#include "platform/Win32Types.h"
#include "platform/WindowsPaths.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace glyphary::platform {
namespace {

// Win32 texts break lines with CR, CR LF or LF; Qt's boxes want LF.
QString displayText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

QMessageBox::Icon iconOf(int flags)
{
    switch (flags & 0xF0) {
    case MB_ICONSTOP:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

QStringList qtNameFilters(const QString& vbFilter)
{
    const QStringList parts = vbFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        if (!description.contains(u'('))
            description += QStringLiteral(" (") + patterns + u')';
        else
            description = description.left(description.indexOf(u'(')).trimmed() + QStringLiteral(" (") + patterns + u')';
        filters << description;
    }
    return filters;
}

int QtDialogs::messageBox(const QString& text, const QString& title, int flags)
{
    QMessageBox box(iconOf(flags), title, displayText(text), QMessageBox::NoButton, owner_);
    struct Answer { QMessageBox::StandardButton button; int id; };
    std::vector<Answer> answers;
    switch (flags & 0xF) {
    case MB_OKCANCEL:
        answers = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_YESNOCANCEL:
        answers = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_YESNO:
        answers = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
        break;
    default:
        answers = {{QMessageBox::Ok, IDOK}};
        break;
    }
    for (const Answer& answer : answers)
        box.addButton(answer.button);
    const std::size_t defaultIndex = (flags & MB_DEFBUTTON2) && answers.size() > 1 ? 1 : 0;
    box.setDefaultButton(answers[defaultIndex].button);
    const auto clicked = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const Answer& answer : answers) {
        if (answer.button == clicked)
            return answer.id;
    }
    return answers.size() > 1 && (flags & 0xF) != MB_YESNO ? IDCANCEL : answers.back().id;
}

std::optional<QString> QtDialogs::inputBox(const QString& prompt, const QString& title, const QString& preset)
{
    bool ok = false;
    const QString text = QInputDialog::getText(owner_, title, displayText(prompt), QLineEdit::Normal, preset, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<FileDialogResult> QtDialogs::fileDialog(const FileDialogRequest& request, bool save)
{
    QFileDialog dialog(owner_, request.title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // OFN_ALLOWMULTISELECT
    const bool several = !save && (request.flags & 0x200) != 0;
    dialog.setFileMode(save ? QFileDialog::AnyFile : several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    const QStringList filters = qtNameFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    if (paths_ && !request.initialFolder.isEmpty())
        dialog.setDirectory(paths_->toHost(request.initialFolder));
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    dialog.setDefaultSuffix(request.defaultExtension);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    FileDialogResult result;
    for (const QString& host : dialog.selectedFiles())
        result.fileNames << (paths_ ? paths_->toWindows(host) : host);
    result.filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    return result;
}

std::optional<FileDialogResult> QtDialogs::openFile(const FileDialogRequest& request)
{
    return fileDialog(request, false);
}

std::optional<FileDialogResult> QtDialogs::saveFile(const FileDialogRequest& request)
{
    return fileDialog(request, true);
}

std::optional<QColor> QtDialogs::chooseColor(const QColor& initial)
{
    const QColor chosen = QColorDialog::getColor(initial, owner_);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

std::optional<QString> QtDialogs::browseForFolder(const QString& prompt, const QString& initialPath)
{
    const QString start = paths_ ? paths_->toHost(initialPath) : initialPath;
    const QString chosen = QFileDialog::getExistingDirectory(owner_, prompt, start);
    if (chosen.isEmpty())
        return std::nullopt;
    return paths_ ? paths_->toWindows(chosen) : chosen;
}

bool QtDialogs::showMessage(const MessageRequest& request)
{
    return showMessage_ ? showMessage_(request) : false;
}

void QtDialogs::setMousePointer(int pointer)
{
    const bool wait = pointer == MousePointerHourglass;
    if (wait && !waitCursor_)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (!wait && waitCursor_)
        QApplication::restoreOverrideCursor();
    waitCursor_ = wait;
}

void QtDialogs::doEvents()
{
    QApplication::processEvents();
}

} // namespace glyphary::platform
