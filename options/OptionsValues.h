#pragma once
// What the Options window edits, as one plain record: read from the settings and the Windows
// installation, and the fixed lists its controls offer (zoom factors, system mask colours).

#include <QColor>
#include <QString>
#include <QStringList>
#include <array>

namespace glyphary {
class MainSession;
}

namespace glyphary::options {

// The file associations in Apply's order.
enum class Association { ANI, CUR, DLL, ICL, ICO };
constexpr std::size_t kAssociationCount = 5;

struct OptionsValues {
    QString iconsPerPage; // the combo box's text
    bool hotTracking = false;
    bool noRebuildReminders = false;
    bool noRestartReminders = false;
    bool useMask = false;
    qint32 maskColor = 0;     // a VB colour value, or 0x80000000 | system colour index
    int systemColorEntry = 0; // entry of cmbMaskSystemColor, 0 for none
    bool sendTo = false;
    std::array<bool, kAssociationCount> associations{};
    QString action = QStringLiteral("None");
    int zoomLevel = 4; // entry of lstZoom, the "DCZoom" value
    bool changeFirst = false;
    bool runFirst = false;
    bool referenceFirst = false;
    bool playFirst = false;
    QString editorFolder; // with its trailing "\"
    QString editorFile;
    bool searchFavorites = false;
    QString favoritesFolder;

    bool& association(Association which) { return associations[static_cast<std::size_t>(which)]; }
    bool association(Association which) const { return associations[static_cast<std::size_t>(which)]; }
    QString editorPath() const { return editorFolder + editorFile; }
};

inline const QStringList kIconsPerPageEntries{QStringLiteral("100"), QStringLiteral("150"), QStringLiteral("200")};
// lstZoom: entry n is "DCZoom" level n.
inline const QStringList kZoomEntries{QStringLiteral("2:1"), QStringLiteral("3:1"), QStringLiteral("4:1"),
                                      QStringLiteral("5:1"), QStringLiteral("10:1")};

struct SystemColorEntry {
    const char* text;
    int index; // COLOR_* number
};
// cmbMaskSystemColor after its empty entry 0.
inline constexpr std::array<SystemColorEntry, 9> kSystemColors{{{"Desktop", 1},
                                                                {"Active Title Bar", 2},
                                                                {"Inactive Title Bar", 3},
                                                                {"Menu Bar", 4},
                                                                {"Window Background", 5},
                                                                {"Application Workspace", 12},
                                                                {"Highlight", 13},
                                                                {"Button Face", 15},
                                                                {"Info Background", 24}}};

QStringList systemColorTexts(); // with the empty entry first
// The stored form of entry 1 to 9 (0x80000000 | index); nullopt for 0 or out of range.
std::optional<qint32> systemColorValue(int entry);
// The entry a stored colour value names; 0 for a plain colour or an unknown index.
int systemColorEntryOf(qint32 value);

QString sendToShortcut(const MainSession& session);
QString desktopShortcut(const MainSession& session);
QString programFile(const MainSession& session);

// Every control's value from the current settings, the result list and the installation.
OptionsValues loadOptions(MainSession& session);

} // namespace glyphary::options
