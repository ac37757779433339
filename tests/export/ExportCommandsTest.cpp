// Copy, Run, Edit With and the file a drag out of the list carries.
#include "export/CopyPicture.h"
#include "export/Exporter.h"
#include "export/LaunchPlan.h"

#include "core/SettingsTable.h"
#include "formats/IcoCodec.h"
#include "platform/Win32Types.h"
#include "support/GuiApplication.h"
#include "support/PeBuilder.h"
#include "support/SessionFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <gtest/gtest.h>

using namespace glyphary;
using namespace glyphary::exporting;

namespace {

struct Start {
    QString program;
    QStringList arguments;
    QStringList environment;
    bool operator==(const Start&) const = default;
};

// Keeps each argument apart, and what it opens with the desktop.
struct RecordingLauncher : platform::ProgramLauncher {
    std::vector<Start> starts;
    QStringList opened;
    QString wine = QStringLiteral("/usr/bin/wine");
    bool start(const QString& program, const QStringList& arguments, const QStringList& environment) override
    {
        starts.push_back({program, arguments, environment});
        return true;
    }
    bool openWithDesktop(const QString& hostPath) override
    {
        opened << hostPath;
        return true;
    }
    QString findProgram(const QString& name) const override { return name == u"wine" ? wine : QString(); }
};

QImage transparentCorner()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(qRgb(0, 128, 0));
    image.setPixel(0, 0, qRgba(0, 0, 0, 0));
    return image;
}

// The .ico file at a host path, parsed; an empty read fails to parse.
formats::IconCodecResult<formats::IcoFile> icoAt(const QString& hostPath)
{
    QFile file(hostPath);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    return formats::parseIco(formats::ByteVector(bytes.begin(), bytes.end()));
}

TEST(CopyPicture, TransparentPixelsTakeTheMaskColourOrTheViewBackgroundAndThePngKeepsAlpha)
{
    EXPECT_EQ(copyBackground(false, QColor(255, 0, 255), Qt::white), QColor(Qt::white));
    EXPECT_EQ(copyBackground(true, QColor(255, 0, 255), Qt::white), QColor(255, 0, 255));

    glyphary::testing::ensureGuiApplication();
    std::unique_ptr<QMimeData> data(clipboardData(transparentCorner(), QColor(255, 0, 255)));
    const QImage bitmap = qvariant_cast<QImage>(data->imageData());
    const QImage png = QImage::fromData(data->data(QStringLiteral("image/png")), "PNG");
    EXPECT_EQ(std::make_pair(bitmap.pixel(0, 0), bitmap.pixel(5, 5)), std::make_pair(qRgb(255, 0, 255), qRgb(0, 128, 0)));
    EXPECT_EQ(std::make_pair(png.pixel(0, 0), png.pixel(5, 5)), std::make_pair(qRgba(0, 0, 0, 0), qRgb(0, 128, 0)));
}

class ExportCommandsTest : public ::testing::Test, protected glyphary::testing::SessionParts<> {
protected:
    void SetUp() override
    {
        glyphary::testing::ensureGuiApplication();
        context.TempFolder = QStringLiteral("c:\\windows\\temp\\");
        QDir().mkpath(root.host(QStringLiteral("C:\\WINDOWS\\TEMP")));
        window.shown.backColor = Qt::white;
        auto owned = std::make_unique<RecordingLauncher>();
        launcher = owned.get();
        exporter.setLauncher(std::move(owned));
    }
    void select(const char* item, const char* type = "Shortcut Icon")
    {
        window.row = SelectedRow{"Notepad", type, "Desktop", item, transparentCorner()};
    }
    QString prefix() const { return QStringLiteral("WINEPREFIX=") + QDir(root.rootPath()).absolutePath(); }
    const QString& told() { return root.dialogs().prompts.back().text; }

    Exporter exporter{session};
    RecordingLauncher* launcher = nullptr;
};

TEST_F(ExportCommandsTest, RunStartsAWindowsTargetThroughWineAndADocumentWithTheDesktop)
{
    root.writeFile(QStringLiteral("C:\\WINDOWS\\notepad.exe"), QByteArray("MZ"));
    select("C:\\WINDOWS\\notepad.exe;0;C:\\WINDOWS\\notepad.exe;sshor");
    exporter.run();
    const std::vector<Start> throughWine{{"/usr/bin/wine", {"C:\\WINDOWS\\notepad.exe"}, {prefix()}}};
    EXPECT_EQ(launcher->starts, throughWine);

    launcher->wine.clear();
    exporter.run();
    EXPECT_EQ(launcher->starts, throughWine);
    EXPECT_EQ(told(), "C:\\WINDOWS\\notepad.exe is a Windows program. Windows programs cannot be started here: "
                      "Wine is not installed.");
    EXPECT_EQ(root.dialogs().prompts.back().title, "Run");

    root.writeFile(QStringLiteral("C:\\Docs\\read me.txt"), QByteArray("hello"));
    select("C:\\x.ico;0;C:\\Docs\\read me.txt;sshor");
    exporter.run();
    EXPECT_EQ(launcher->starts, throughWine);
    EXPECT_EQ(launcher->opened, QStringList{root.host(QStringLiteral("C:\\Docs\\read me.txt"))});

    select("C:\\x.ico;0;C:\\Docs\\gone.txt;sshor");
    exporter.run();
    EXPECT_EQ(told(), "C:\\Docs\\gone.txt does not exist.");
}

TEST_F(ExportCommandsTest, EditWithSavesTheTemporaryIconForTheEditorOrSaysHowToChooseOne)
{
    select("C:\\x.ico;0;x;2open", "Hi-Color Icon");
    exporter.editWith();
    ASSERT_EQ(root.dialogs().prompts.size(), 1u);
    EXPECT_EQ(root.dialogs().prompts[0].title, "Edit With Error");
    EXPECT_EQ(told(), "Please specify an External Icon Editor:\rselect Options from the main menu.\r"
                      "select the Double Click Icon tab\rselect an Icon Editor executable with the Browse button.");
    EXPECT_EQ(root.dialogs().prompts[0].flags, platform::MB_ICONEXCLAMATION);
    const QString temp = QStringLiteral("c:\\windows\\temp\\ICTemp.ico");
    EXPECT_FALSE(QFile::exists(root.host(temp)));

    root.writeFile(QStringLiteral("C:\\Tools\\IconEdit.exe"), QByteArray("MZ"));
    settings.write(setting::ExtEditFolder, QStringLiteral("C:\\Tools"));
    settings.write(setting::ExtEditFile, QStringLiteral("IconEdit.exe"));
    // Even a cursor row goes to the editor as the icon file it is handed.
    select("C:\\x.cur;0;x;8open", "Hi-Color Cursor");
    exporter.editWith();
    EXPECT_TRUE(root.dialogs().fileRequests.empty());
    EXPECT_EQ(context.EditFlag, kFalse);
    EXPECT_TRUE(icoAt(root.host(temp)));
    std::vector<Start> starts{{"/usr/bin/wine", {"C:\\Tools\\IconEdit.exe", temp}, {prefix()}}};
    EXPECT_EQ(launcher->starts, starts);

    // A Linux editor gets the host path; a document is no editor.
    const QString tool = root.host(QStringLiteral("C:\\Tools")) + QStringLiteral("/iconedit");
    root.writeFile(QStringLiteral("C:\\Tools\\iconedit"), QByteArray("#!/bin/sh\n"));
    QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    settings.write(setting::ExtEditFile, QStringLiteral("iconedit"));
    exporter.editWith();
    ASSERT_EQ(launcher->starts.size(), 2u);
    EXPECT_EQ(launcher->starts[1].program, tool);
    EXPECT_EQ(launcher->starts[1].arguments, QStringList{root.host(temp)});

    root.writeFile(QStringLiteral("C:\\Tools\\notes.txt"), QByteArray("x"));
    settings.write(setting::ExtEditFile, QStringLiteral("C:\\Tools\\notes.txt"));
    exporter.editWith();
    EXPECT_EQ(launcher->starts.size(), 2u);
    EXPECT_EQ(told(), "C:\\Tools\\notes.txt is not a program.");
}

TEST_F(ExportCommandsTest, ADragOutCarriesTheWholeIconGroupOrThePictureShown)
{
    using glyphary::testing::dibImage;
    root.writeFile(QStringLiteral("C:\\Icons\\lib.dll"),
                   glyphary::testing::ResourceBuilder()
                       .iconGroup(formats::ResourceName::byId(1), {dibImage(4, 16), dibImage(8, 32), dibImage(32, 48)})
                       .pe32());
    const QString file
        = exporter.dragFile({"lib.dll #1 of 1", "Icon Library", "File", "C:\\Icons\\lib.dll;0;#1 of 1;dopen", transparentCorner()});
    EXPECT_EQ(QFileInfo(file).fileName(), "lib.dll #1 of 1.ico");
    const auto icon = icoAt(file);
    ASSERT_TRUE(icon);
    ASSERT_EQ(icon.value->entries.size(), 3u);
    EXPECT_EQ(icon.value->entries[2].stored.pixelWidth(), 48);

    // A catalogue icon, and a name no file manager takes as it is.
    const QString picture
        = exporter.dragFile({"a/b:c", "Hi-Color Icon", "Glyphary", "shell:12:02book", transparentCorner()});
    EXPECT_EQ(QFileInfo(picture).fileName(), "a_b_c.ico");
    const auto one = icoAt(picture);
    ASSERT_TRUE(one);
    ASSERT_EQ(one.value->entries.size(), 1u);
    EXPECT_EQ(qAlpha(one.value->entries[0].image->image.pixel(0, 0)), 0);
}

} // namespace
