#pragma once
// Bringing icon files from disk into the results: Open by File, the scan of a folder (Open by
// Folder) and paths handed over from outside. Each fills lstFiles, reads every path's icons and
// shows page 1.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>

namespace glyphary {

class FileIconReader;
class ItemList;
class MainSession;

// The six types of the filters, by the last four characters of the path, lower-cased.
enum class IconFileType { Ani, Cur, Dll, Exe, Icl, Ico };
inline constexpr int kIconFileTypes = 6;
// nullopt-like -1 for any other path.
int iconFileTypeOf(QStringView path);

// "All Libraries" keeps the six types; otherwise the checked ones (index: IconFileType).
struct ScanFilter {
    bool all = true;
    std::array<bool, kIconFileTypes> types{};
    bool accepts(QStringView path) const;
};
// Removes every path the filter does not accept.
void filterFiles(ItemList& files, const ScanFilter& filter);

// The file dialog's file name split at its zero characters: one part is a full path; several are
// the folder and then the names in it. `folder` is what "ScanDirectory" keeps.
struct DialogFiles {
    QString folder;
    QStringList paths;
};
DialogFiles splitDialogFileName(const QString& fileName);
// The file name a multi-select common dialog returns for these full paths of one folder.
QString dialogFileName(const QStringList& paths);

inline const QString kOpenFilter = QStringLiteral(
    "All Icons (*.ani;*.cur;*.dll;*.exe;*.icl;*.ico)|*.ani;*.cur;*.dll;*.exe;*.icl;*.ico|Animated Icons (*.ani)|*.ani|"
    "Applications (*.exe)|*.exe|Cursors (*.cur)|*.cur|Dynamic Link Libraries (*.dll)|*.dll|Icon Libraries (*.icl)|*.icl|"
    "Icons (*.ico)|*.ico");
inline constexpr int kOpenFlags = 0x280204;

// What Start in the scan window runs.
struct ScanRequest {
    QString folder;
    ScanFilter filter;
    bool subfolders = false;
};

class OpenAndScan {
public:
    OpenAndScan(MainSession& session, FileIconReader& reader);

    // Open by File: the dialog, then the chosen files.
    void openByFile();
    // The scan of a folder; "N files checked, M files matched your filter." is shown before the reading.
    void scan(const ScanRequest& request);
    // Paths handed over from outside, separated by `separator`: folders are walked with their
    // subfolders, files taken as they are; empty pieces, "." and "..", quotes around a piece and
    // paths that do not exist are skipped.
    void openPaths(const QString& pathList, QChar separator);

private:
    void begin(const QString& status);
    // Walks a folder into lstFiles with the running counts in the status bar; false when aborted.
    bool walk(const QString& folder, bool subfolders);
    void readAndShow();

    MainSession& session_;
    FileIconReader& reader_;
    int filesChecked_ = 0;
};

} // namespace glyphary
