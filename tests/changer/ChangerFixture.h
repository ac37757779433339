#pragma once
// A session with the Windows sources, the export and the changer installed on its own root, and
// the helpers the change tests share: listing a source, selecting a row as the main window shows
// it, reading registry values and files back.

#include "changer/Install.h"
#include "core/MainSession.h"
#include "export/Install.h"
#include "platform/Registry.h"
#include "sources/Install.h"
#include "support/PeBuilder.h"
#include "support/RegistryValues.h"
#include "support/RecordingLauncher.h"
#include "support/SessionFixture.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace glyphary::testing {

inline const QString kShellIcons = QStringLiteral("C:\\WINDOWS\\SYSTEM\\shell.ico");
inline const QString kIcon1 = QStringLiteral("C:\\WINDOWS\\Icons\\1.ico");

class ChangerFixture : public ::testing::Test, protected SessionParts<> {
protected:
    explicit ChangerFixture(const QString& os = QStringLiteral("98")) : SessionParts(os)
    {
        context.WindowsFolder = QStringLiteral("C:\\WINDOWS");
        context.SystemFolder = QStringLiteral("C:\\WINDOWS\\SYSTEM");
        context.TempFolder = QStringLiteral("c:\\windows\\temp\\");
        context.OsCode = os;
        sources::install(session);
        exporting::install(session);
        changer = &changer::install(session);
        root.writeFile(kShellIcons, icoFile({dibImage(4)}));
        root.writeFile(QStringLiteral("C:\\WINDOWS\\TEMP\\keep.txt"), QByteArray("x"));
    }

    changer::ChangeController& controller() { return changer->controller; }

    void list(SourceFamily family, const SourceRequest& request = {})
    {
        session.sources().list(family, request, session.listingHost());
    }
    // Entry `index` of the result list as the main window shows it, made the selected row.
    void select(int index)
    {
        const QString item = session.cmbResult.text(index);
        const auto drawn = session.drawItem(item, session.cmbResult.itemData(index));
        ASSERT_TRUE(drawn);
        window.row = SelectedRow{drawn->name, drawn->type, drawn->origin, item, drawn->image};
    }
    // Opens the change window on entry `index` of the result list.
    void openRow(int index)
    {
        select(index);
        ASSERT_TRUE(controller().open());
    }
    // Opens on the first row of the family's listing.
    void openFirst(SourceFamily family, const SourceRequest& request = {})
    {
        list(family, request);
        ASSERT_GT(session.cmbResult.count(), 0);
        openRow(0);
    }
    // Opens the change window on the entry and drops that same icon on New.
    void openAndDrop(int index)
    {
        openRow(index);
        controller().drop(window.row->name);
        ASSERT_TRUE(controller().view().applyEnabled);
    }

    void set(platform::HKEY key, const char* path, const char* name, const QString& value)
    {
        root.platform().registry().setValue(key, path, name, platform::REG_SZ, platform::regString(value.toStdString()));
    }
    QString value(platform::HKEY key, const QString& path, const QString& name)
    {
        return stringValue(root.platform().registry(), key, path.toStdString(), name.toStdString());
    }
    bool exists(const QString& windowsPath) { return QFileInfo::exists(root.host(windowsPath)); }
    QStringList icons() { return QDir(root.host(QStringLiteral("C:\\WINDOWS\\Icons"))).entryList(QDir::Files, QDir::Name); }
    // Fills C:\WINDOWS\Icons with empty files numbered from `first` up to the highest number.
    void takeNumbersFrom(int first)
    {
        const QString folder = root.host(QStringLiteral("C:\\WINDOWS\\Icons"));
        QDir().mkpath(folder);
        for (int number = first; number <= changer::IconsFolder::kHighestNumber; ++number)
            QFile(folder + QStringLiteral("/%1.ico").arg(number)).open(QIODevice::WriteOnly);
    }
    RecordingLauncher& useLauncher()
    {
        auto owned = std::make_unique<RecordingLauncher>();
        RecordingLauncher& launcher = *owned;
        changer->setLauncher(std::move(owned));
        return launcher;
    }
    // The titles of the reminders shown, in order, by their settings flag.
    QStringList reminders()
    {
        QStringList flags;
        for (const platform::MessageRequest& message : root.dialogs().messages)
            flags << message.flagName;
        return flags;
    }

    changer::Changer* changer = nullptr;
};

} // namespace glyphary::testing
