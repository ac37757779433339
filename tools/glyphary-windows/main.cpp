// Builds the default Windows installation that new roots receive:
//   glyphary-windows OUTFOLDER [THEMEFOLDER]
// OUTFOLDER is replaced by a template root (the build writes bin/Windows); THEMEFOLDER defaults to
// Debian's Tango theme.
#include "builder/DemoCatalogue.h"
#include "builder/WindowsInstallation.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2 || arguments.size() > 3 || arguments[1] == QStringLiteral("--help")) {
        std::fprintf(arguments.size() == 2 ? stdout : stderr,
                     "usage: glyphary-windows OUTFOLDER [THEMEFOLDER]\n"
                     "Replaces OUTFOLDER with the default Windows installation that new roots receive,\n"
                     "drawn from THEMEFOLDER (default %s).\n", qPrintable(glyphary::kTangoThemeFolder));
        return arguments.size() == 2 ? 0 : 2;
    }
    const QString theme = arguments.size() == 3 ? arguments[2] : glyphary::kTangoThemeFolder;
    const glyphary::InstallationArtwork artwork(theme);
    if (!artwork.foundInTheme(QStringLiteral("folder")))
        std::fprintf(stderr, "glyphary-windows: no Tango theme in %s; drawn pictures stand in\n", qPrintable(theme));
    const glyphary::WindowsInstallation installation = glyphary::defaultWindowsInstallation(artwork);
    QString error;
    if (!glyphary::writeInstallationTemplate(installation, arguments[1], &error)) {
        std::fprintf(stderr, "glyphary-windows: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("glyphary-windows: %zu files, %zu registry values in %s\n", installation.files.size(),
                installation.values.size(), qPrintable(arguments[1]));
    return 0;
}
