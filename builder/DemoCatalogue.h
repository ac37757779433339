#pragma once
// The demo catalogue, made from the Tango icon theme (public domain; Debian's tango-icon-theme):
//   - every 32 x 32 icon of the context folders (actions, apps, categories, devices, emblems, emotes,
//     mimetypes, places, status) as a 16-colour, a 256-colour and a hi-colour icon, under the words
//     of its name, of the names that link to it and of its context, in the design group of its context;
//   - a few arrow-like icons also as cursors, in the group "cursors";
//   - animations in the group "animations": the theme's process-working strip cut into frames, and
//     short sequences of icons (volume rising, network activity, weather, turning arrows, faces);
//     each in the three colour classes.
// A stamp file beside the catalogue records what it was built from, so that building it again
// from unchanged inputs is skipped.

#include "builder/CatalogueBuilder.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

namespace glyphary {

inline const QString kTangoThemeFolder = QStringLiteral("/usr/share/icons/Tango");
inline const QString kDemoStampFile = QStringLiteral("Icondata.stamp");

// The catalogue sources from a theme folder laid out like Tango (32x32/CONTEXT/NAME.png). Missing
// pieces are left out with a warning.
std::vector<CatalogueSource> demoSources(const QString& themeFolder, QStringList* warnings);

// What the demo is built from: the builder's format version and every file of the theme it reads
// (name, size, time, link target).
QByteArray demoStamp(const QString& themeFolder);

enum class DemoOutcome { Built, UpToDate, NoTheme, Failed };

struct DemoResult {
    DemoOutcome outcome = DemoOutcome::Failed;
    QString error;
    CatalogueSummary summary;
};

// Builds the demo catalogue into the host folder `outFolder` unless it holds one built from the same
// inputs. NoTheme, writing nothing, when the theme folder has no 32x32 icons.
DemoResult buildDemoCatalogue(const QString& themeFolder, const QString& outFolder,
                              const std::function<void(int done, int total)>& progress = {});

} // namespace glyphary
