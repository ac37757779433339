#include "catalogue/CatalogueFiles.h"

#include "core/AppContext.h"
#include "core/ErrorReport.h"
#include "core/FileHelpers.h"
#include "formats/Cp1252.h"
#include "platform/AtomicFile.h"
#include "platform/Win32Types.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringView>
#include <optional>

namespace glyphary {
namespace {

const QString kIndexFile = QStringLiteral("Icondata.dat");
const QString kKeywordFile = QStringLiteral("Keyuser");
const QString kReferenceFile = QStringLiteral("Iconuser");
const QString kErrorSource = QStringLiteral("LoadCatalogue");

// Far beyond any real catalogue (a full table is about 2 MB); guards against reading a stray
// huge file into memory.
constexpr qint64 kMaxFileSize = 64LL * 1024 * 1024;
constexpr qint64 kEventIntervalMs = 10;

// Lets pending events run now and then, not after every line, so that a large index loads fast.
class EventPump {
public:
    explicit EventPump(platform::DialogsPort& dialogs) : dialogs_(dialogs) { timer_.start(); }

    void poll()
    {
        if (timer_.elapsed() >= kEventIntervalMs) {
            dialogs_.doEvents();
            timer_.restart();
        }
    }

private:
    platform::DialogsPort& dialogs_;
    QElapsedTimer timer_;
};

// Calls onLine(line) for every line until it returns false. CR LF, LF and a lone CR all end a
// line (VB's Line Input takes CR and CR LF). Blank lines are skipped: they name no keyword and no
// reference, and an empty entry in the keyword bar would only find nothing.
template <typename OnLine>
void forEachLine(QStringView text, EventPump& pump, OnLine onLine)
{
    const qsizetype size = text.size();
    qsizetype start = 0;
    while (start < size) {
        qsizetype end = start;
        while (end < size && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        if (end > start) {
            if (!onLine(text.sliced(start, end - start)))
                return;
            pump.poll();
        }
        start = end + 1;
    }
}

// A record split at its first ";". Without one, the whole line is the key and the rest is empty.
struct Record {
    QStringView key;
    QStringView rest;
};

Record splitRecord(QStringView line)
{
    const qsizetype p = line.indexOf(u';');
    if (p < 0)
        return {line, {}};
    return {line.first(p), line.sliced(p + 1)};
}

class CatalogueLoader {
public:
    explicit CatalogueLoader(AppContext& context)
        : context_(context), table_(context.keywordTable), lists_(context.catalogueLists),
          dialogs_(context.platform.dialogs()), pump_(dialogs_)
    {
    }

    QString run()
    {
        dialogs_.setMousePointer(platform::MousePointerHourglass);
        dialogs_.doEvents();
        lists_.clear();
        table_.clear();

        if (FileExists(context_.platform.paths(), path(kIndexFile))) {
            context_.CatalogueAvailable = kTrue;
            if (const auto text = readText(path(kIndexFile)))
                loadIndex(*text);
        } else {
            dialogs_.setMousePointer(platform::MousePointerDefault);
            context_.CatalogueAvailable = kFalse;
            dialogs_.messageBox(QStringLiteral("Main Glyphary Index file Icondata.dat was not found.") + u'\r'
                                    + QStringLiteral("The Glyphary icon features will be disabled."),
                                QStringLiteral("Glyphary error"), platform::MB_ICONEXCLAMATION);
        }
        if (const auto text = readUserText(kKeywordFile + QStringLiteral(".dat")))
            loadCustomKeywords(*text);
        if (const auto text = readUserText(kReferenceFile + QStringLiteral(".dat")))
            loadReferences(*text);

        dialogs_.setMousePointer(platform::MousePointerDefault);
        return QString::number(table_.KeywordCount) + QStringLiteral(" Keywords");
    }

private:
    QString path(const QString& name) const { return context_.ProgramFolder + name; }

    // A user file from the data folder, else the one shipped in the program folder.
    std::optional<QString> readUserText(const QString& name)
    {
        const QString saved = context_.dataFolder() + name;
        return readText(FileExists(context_.platform.paths(), saved) ? saved : path(name));
    }

    // The whole file at a Windows path, decoded; nullopt when it is missing or unreadable (skipped
    // silently, as a first run has no user files) or too large (reported).
    std::optional<QString> readText(const QString& windowsPath)
    {
        const QString host = context_.platform.paths().toHost(windowsPath);
        if (host.isEmpty() || QFileInfo(host).isDir())
            return std::nullopt;
        QFile file(host);
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        if (file.size() > kMaxFileSize) {
            showErrorReport(dialogs_, {7, kErrorSource, QStringLiteral("Out of memory")});
            return std::nullopt;
        }
        return formats::fromCp1252(file.readAll());
    }

    // Adds a keyword to the table, the keyword bar and the reference editor's combo; its position
    // in the keyword bar, or nullopt when the table is full.
    std::optional<int> addKeyword(const QString& keyword, const QString& data)
    {
        const int number = table_.append(keyword, data);
        if (number < 0) {
            reportTableFull();
            return std::nullopt;
        }
        lists_.cmbAddKeyword.add(keyword);
        return lists_.cmbSearch.add(keyword, number);
    }

    // Storing keyword 3001 is what fails in VB: Subscript out of range. Reported once per load.
    void reportTableFull()
    {
        if (tableFullReported_)
            return;
        tableFullReported_ = true;
        showErrorReport(dialogs_, {9, kErrorSource, QStringLiteral("Subscript out of range")});
    }

    void loadIndex(QStringView text)
    {
        forEachLine(text, pump_, [this](QStringView line) {
            const Record record = splitRecord(line);
            // Every token, the last one included, ends in ";". A keyword without tokens (no ";" in
            // its line, or nothing after it) gets "" like a custom keyword: VB's Mid would have
            // turned the whole line into a token, and ";" alone would read as one empty token.
            QString data;
            if (!record.rest.isEmpty()) {
                data.reserve(record.rest.size() + 1);
                data.append(record.rest);
                data.append(u';');
            }
            // The loader stops at the keyword that does not fit; the catalogue is never written,
            // so nothing is lost by leaving the rest of the index out.
            return addKeyword(record.key.toString(), data).has_value();
        });
    }

    void loadCustomKeywords(QStringView text)
    {
        forEachLine(text, pump_, [this](QStringView line) {
            const QString keyword = line.toString();
            // Once one keyword did not fit, none after it can.
            if (lists_.customKeywordsNotLoaded.isEmpty()) {
                if (const auto position = addKeyword(keyword, QString())) {
                    lists_.lstKey.add(keyword, *position);
                    return true;
                }
            }
            lists_.customKeywordsNotLoaded.append(keyword);
            return true;
        });
    }

    void loadReferences(QStringView text)
    {
        forEachLine(text, pump_, [this](QStringView line) {
            const Record record = splitRecord(line);
            const int keywordPosition = lists_.lstUser.add(record.key.toString());
            const int itemPosition = lists_.cmbUser.add(record.rest.toString(), keywordPosition);
            lists_.lstUser.setItemData(keywordPosition, itemPosition);
            return true;
        });
    }

    AppContext& context_;
    KeywordTable& table_;
    CatalogueLists& lists_;
    platform::DialogsPort& dialogs_;
    EventPump pump_;
    bool tableFullReported_ = false;
};

QByteArray linesToBytes(const QStringList& lines)
{
    qsizetype size = 0;
    for (const QString& line : lines)
        size += line.size() + 2;
    QString text;
    text.reserve(size);
    for (const QString& line : lines) {
        text.append(line);
        text.append(QStringLiteral("\r\n"));
    }
    return formats::toCp1252Bytes(text);
}

QStringList customKeywordLines(const CatalogueLists& lists)
{
    QStringList lines;
    lines.reserve(lists.lstKey.count() + lists.customKeywordsNotLoaded.size());
    for (const ItemList::Entry& entry : lists.lstKey.entries())
        lines.append(entry.text);
    lines.append(lists.customKeywordsNotLoaded);
    return lines;
}

QStringList referenceLines(const CatalogueLists& lists)
{
    QStringList lines;
    lines.reserve(lists.lstUser.count());
    for (int i = 0; i < lists.lstUser.count(); ++i) {
        const QString item = i < lists.cmbUser.count() ? lists.cmbUser.text(i) : QString();
        lines.append(lists.lstUser.text(i) + u';' + item);
    }
    return lines;
}

// Replaces <base>.dat, keeping the file it replaces as <base>.bak. The .bak is a copy made once the
// new text is on disk, never the renamed .dat: a crash between two renames would leave no .dat at
// all, and the next start would load no user file. False, with every existing file as it was, when
// the new text or the backup cannot be written.
bool replaceWithBackup(const platform::WindowsPaths& paths, platform::DialogsPort& dialogs,
                       const QString& folder, const QString& base, const QByteArray& bytes)
{
    // Host names are fixed up front, so that a .dat whose on-disk case differs is the one replaced.
    const QString dat = paths.toHost(folder + base + QStringLiteral(".dat"));
    const QString bak = paths.toHost(folder + base + QStringLiteral(".bak"));
    if (dat.isEmpty() || bak.isEmpty())
        return false;
    dialogs.doEvents();
    return platform::replaceFileKeepingBackup(
        dat, bak, formats::Bytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())))
        .ok;
}

bool saveUserFile(AppContext& context, const QString& base, const QString& what, const QStringList& lines)
{
    auto& dialogs = context.platform.dialogs();
    if (replaceWithBackup(context.platform.paths(), dialogs, context.dataFolder(), base, linesToBytes(lines)))
        return true;
    dialogs.messageBox(QStringLiteral("Your ") + what + QStringLiteral(" could not be saved to ") + context.dataFolder()
                           + base + QStringLiteral(".dat.") + u'\r'
                           + QStringLiteral("The previous file was left unchanged."),
                       QStringLiteral("Glyphary"), platform::MB_ICONEXCLAMATION);
    return false;
}

} // namespace

QString LoadCatalogue(AppContext& context)
{
    return CatalogueLoader(context).run();
}

bool SaveUserFiles(AppContext& context)
{
    bool saved = true;
    if (context.KeywordsChanged) {
        if (saveUserFile(context, kKeywordFile, QStringLiteral("custom keywords"), customKeywordLines(context.catalogueLists)))
            context.KeywordsChanged = kFalse;
        else
            saved = false;
    }
    if (context.ReferencesChanged) {
        if (saveUserFile(context, kReferenceFile, QStringLiteral("references"), referenceLines(context.catalogueLists)))
            context.ReferencesChanged = kFalse;
        else
            saved = false;
    }
    return saved;
}

} // namespace glyphary
