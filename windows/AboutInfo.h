#pragma once
// What the about window shows: version, tabs, the state of the icon library files, the contact
// addresses and where the System Information program is.

#include <QLocale>
#include <QString>
#include <QStringList>
#include <span>

namespace glyphary {

class Settings;
namespace platform { class WindowsPaths; }

struct ProgramVersion {
    int major;
    int minor;
    int revision;
};

// Keep in step with project(... VERSION) in the top CMakeLists.txt.
inline constexpr ProgramVersion kProgramVersion{1, 0, 0};

// "Glyphary version " + major + "." + minor + revision, the last two written one after the other.
QString buildText(const ProgramVersion& version = kProgramVersion);

struct AboutTab {
    const char* caption;
    const char* key;
    const char* toolTip; // "" for none
};

// The tabs in order; tab i shows frame i.
std::span<const AboutTab> aboutTabs();

QString disclaimerText();

inline constexpr const char* kHomePageUrl = "https://glyphary.example.org";
inline constexpr const char* kMailUrl = "mailto:support@glyphary.example.org";

// The Icon Resources list, one tab-separated line each: the index file's date ("NOT Present" when
// the file is missing), the core library, then each update library 1 to 10 that exists.
QStringList iconResourceLines(const platform::WindowsPaths& paths, const QString& programFolder, const QLocale& locale);

inline constexpr const char* kMsInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSinfo";

// The value "Path" of the MSinfo key under HKEY_LOCAL_MACHINE; "" when absent or not text.
QString msInfoPath(Settings& settings);

// The host program for a Windows program path; "" when it is unreachable or not a file.
QString hostProgram(const platform::WindowsPaths& paths, const QString& windowsProgram);

} // namespace glyphary
