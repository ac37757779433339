#pragma once
// A session on its own root for the Options window: Windows, System and a program folder with a
// space in its name, the subsystem installed, and a navigation that records what Apply asks of it.

#include "core/SettingsTable.h"
#include "options/Install.h"
#include "support/RegistryValues.h"
#include "support/SessionFixture.h"

#include <QDir>
#include <gtest/gtest.h>

namespace glyphary::testing {

struct RecordingFavorites : Navigation {
    int builds = 0;
    QStringList favorites;
    NavigationTree buildTree() override
    {
        ++builds;
        return {};
    }
    void click(const QString&) override {}
    void drop(const QString&, bool, bool) override {}
    void searchKeyword(int) override {}
    void enterKeyword(const QString&) override {}
    void setFavorites(const QString& root, bool search) override
    {
        favorites << root + (search ? QStringLiteral(" +search") : QString());
    }
};

inline const QString kProgramFolder = QStringLiteral("C:\\Program Files\\Glyphary\\");

class OptionsFixture : public ::testing::Test, protected SessionParts<> {
protected:
    explicit OptionsFixture(const QString& os = QStringLiteral("98")) : SessionParts<>(os)
    {
        context.ProgramFolder = kProgramFolder;
        context.WindowsFolder = QStringLiteral("C:\\WINDOWS");
        context.SystemFolder = QStringLiteral("C:\\WINDOWS\\SYSTEM");
        context.OsCode = os;
        for (const char* folder : {"C:\\Program Files\\Glyphary", "C:\\WINDOWS\\Sendto", "C:\\WINDOWS\\Desktop"})
            QDir().mkpath(root.host(QLatin1StringView(folder)));
        session.setNavigation(navigation);
        options = &options::install(session);
        session.loadSettings(MainWindowDesign{}); // as the main window does when it opens
    }

    options::OptionsController& controller() { return options->controller; }
    ScriptedDialogs& dialogs() { return root.dialogs(); }
    platform::Registry& registry() { return root.platform().registry(); }
    QString classes(const char* key, const char* name = "") { return stringValue(registry(), platform::HKEY_CLASSES_ROOT, key, name); }
    QString stored(const char* name) { return Settings::toText(settings.ReadSetting(platform::HKEY_CURRENT_USER, QString::fromLatin1(kSettingsKey), QString::fromLatin1(name))); }
    void store(const SettingDef& def, const SettingValue& value) { settings.write(def, value); }
    int promptsWith(const QString& text)
    {
        int count = 0;
        for (const Prompt& prompt : root.dialogs().prompts)
            count += prompt.text == text ? 1 : 0;
        return count;
    }

    RecordingFavorites navigation;
    options::Options* options = nullptr;
};

} // namespace glyphary::testing
