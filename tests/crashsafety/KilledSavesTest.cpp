// Saves killed at random moments. Each save runs in a forked child that is sent SIGKILL after a
// random delay within the time a save takes; every file it writes must then hold the previous or
// the new generation, whole, and the registry hives must still parse. The seed is printed on
// failure; GLYPHARY_CRASH_SEED sets another.

#include "catalogue/CatalogueFiles.h"
#include "changer/ChangeApplier.h"
#include "core/AppContext.h"
#include "formats/IcoCodec.h"
#include "formats/WineRegistryFile.h"
#include "libs/glsave32/Glsave32.h"
#include "support/Files.h"
#include "support/RegistryValues.h"
#include "support/TempRoot.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace glyphary;
using namespace glyphary::platform;
using glyphary::testing::TempRoot;

namespace {

constexpr int kRunsPerSave = 60; // four saves: 240 kills
constexpr std::uint32_t kDefaultSeed = 20261208;

std::uint32_t crashSeed()
{
    const char* text = std::getenv("GLYPHARY_CRASH_SEED");
    return text ? static_cast<std::uint32_t>(std::strtoul(text, nullptr, 10)) : kDefaultSeed;
}

const QString kProgramFolder = QStringLiteral("C:\\prog\\");
const QString kSavedIcon = QStringLiteral("C:\\out\\saved.ico");
const QString kChangedIcon = QStringLiteral("C:\\WINDOWS\\Icons\\1.ico");
constexpr int kUserLines = 3000;

// A generation is told by the red of an icon and by the text of files and values.
QRgb colourOf(int generation)
{
    return qRgb(10 + generation, 90, 200);
}

QImage pictureOf(int generation)
{
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(colourOf(generation));
    return image;
}

QByteArray keywordFile(int generation)
{
    QByteArray text;
    for (int i = 0; i < kUserLines; ++i)
        text += "g" + QByteArray::number(generation) + "k" + QByteArray::number(10000 + i) + "\r\n";
    return text;
}

QByteArray referenceFile(int generation)
{
    QByteArray text;
    for (int i = 0; i < kUserLines; ++i)
        text += "g" + QByteArray::number(generation) + "k" + QByteArray::number(10000 + i) + ";C:\\icons\\" + QByteArray::number(i)
            + ".ico;0;x;1user\r\n";
    return text;
}

// What one observation found: per file its generation, or why the files are not whole.
struct Observed {
    std::vector<int> generations;
    QString error;
};

Observed broken(const QString& why)
{
    return {{}, why};
}

struct Scene {
    TempRoot root;

    QByteArray read(const QString& windowsPath) const { return root.readFile(windowsPath); }
    bool exists(const QString& windowsPath) const { return QFile::exists(root.host(windowsPath)); }
    // A platform of its own over the same root, as a new run of the program would have.
    std::unique_ptr<Platform> freshPlatform(DialogsPort& dialogs) const
    {
        PlatformConfig config;
        config.rootHostPath = root.rootPath();
        config.osSpec = QStringLiteral("98");
        return std::make_unique<Platform>(config, dialogs);
    }
    // The generation in a file whose text starts "g<N>"; -1 for any other.
    static int generationIn(const QByteArray& text)
    {
        const qsizetype end = text.indexOf('k');
        bool ok = false;
        const int generation = text.startsWith('g') && end > 1 ? text.mid(1, end - 1).toInt(&ok) : -1;
        return ok ? generation : -1;
    }
    // The generation an .ico file shows, or -1 when it does not read as an icon.
    int iconGeneration(const QString& windowsPath) const
    {
        const QByteArray bytes = read(windowsPath);
        const auto file = formats::parseIco(
            formats::Bytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())));
        const formats::IconImage* image = file ? file.value->best(32) : nullptr;
        if (!image || image->image.width() != 32)
            return -1;
        return qRed(image->image.pixel(16, 16)) - 10;
    }
    // Every hive file parses completely.
    QString hivesError() const
    {
        for (const char* name : {"system.reg", "user.reg"}) {
            QFile file(root.rootPath() + u'/' + QLatin1StringView(name));
            if (!file.open(QIODevice::ReadOnly))
                return QStringLiteral("%1 cannot be read").arg(QLatin1StringView(name));
            const QByteArray bytes = file.readAll();
            const auto parsed = formats::parseWineRegistry(
                formats::Bytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())));
            if (!parsed.complete || !parsed.document.hasHeader())
                return QStringLiteral("%1 does not parse").arg(QLatin1StringView(name));
        }
        return {};
    }
};

// One kind of save. `save` runs in the child; `observe` reads the files afterwards.
struct SaveCase {
    const char* name;
    std::function<void(Scene&)> prepare;
    std::function<bool(Scene&, int generation)> save;
    std::function<Observed(Scene&)> observe;
};

// Both hives written in one batch, each large enough that its write takes a while.
bool saveRegistry(Scene& scene, int generation)
{
    glyphary::testing::ScriptedDialogs dialogs;
    const auto platform = scene.freshPlatform(dialogs);
    Registry& registry = platform->registry();
    registry.beginBatch();
    const std::string text = std::to_string(generation);
    for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        HKEY key = 0;
        if (registry.RegCreateKeyExA(root, "Software\\Glyphary\\Crash", 0, KEY_ALL_ACCESS_LOW, &key, nullptr) != ERROR_SUCCESS)
            return false;
        registry.RegSetValueExA(key, "Gen", REG_SZ, regString(text));
        registry.RegCloseKey(key);
    }
    return registry.endBatch() == ERROR_SUCCESS;
}

void prepareRegistry(Scene& scene)
{
    Registry& registry = scene.root.platform().registry();
    const RegistryBatch batch(registry);
    for (int i = 0; i < 3000; ++i) {
        HKEY key = 0;
        const std::string path = "Software\\Classes\\.x" + std::to_string(i);
        registry.RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS_LOW, &key, nullptr);
        registry.RegSetValueExA(key, "", REG_SZ, regString("type" + std::to_string(i)));
        registry.RegCloseKey(key);
    }
}

Observed observeRegistry(Scene& scene)
{
    if (const QString error = scene.hivesError(); !error.isEmpty())
        return broken(error);
    glyphary::testing::ScriptedDialogs dialogs;
    const auto platform = scene.freshPlatform(dialogs);
    Observed observed;
    for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        bool ok = false;
        const int generation = glyphary::testing::stringValue(platform->registry(), root, "Software\\Glyphary\\Crash", "Gen").toInt(&ok);
        if (!ok)
            return broken(QStringLiteral("the value Gen is gone"));
        observed.generations.push_back(generation);
    }
    return observed;
}

bool saveUserFiles(Scene& scene, int generation)
{
    AppContext context(scene.root.platform());
    context.ProgramFolder = kProgramFolder;
    CatalogueLists& lists = context.catalogueLists;
    const QString prefix = QStringLiteral("g%1k").arg(generation);
    for (int i = 0; i < kUserLines; ++i) {
        const QString keyword = prefix + QString::number(10000 + i);
        lists.lstKey.add(keyword);
        lists.lstUser.add(keyword, i);
        lists.cmbUser.add(QStringLiteral("C:\\icons\\%1.ico;0;x;1user").arg(i), i);
    }
    context.KeywordsChanged = kTrue;
    context.ReferencesChanged = kTrue;
    return SaveUserFiles(context);
}

Observed observeUserFiles(Scene& scene)
{
    Observed observed;
    for (const auto& [base, contentOf] : {std::pair{"Keyuser", &keywordFile}, std::pair{"Iconuser", &referenceFile}}) {
        const QString dat = kProgramFolder + QLatin1StringView(base) + QStringLiteral(".dat");
        const QString bak = kProgramFolder + QLatin1StringView(base) + QStringLiteral(".bak");
        if (!scene.exists(dat))
            return broken(dat + QStringLiteral(" is missing"));
        const QByteArray text = scene.read(dat);
        const int generation = Scene::generationIn(text);
        if (generation < 0 || text != contentOf(generation))
            return broken(dat + QStringLiteral(" is not whole"));
        if (scene.exists(bak)) {
            const QByteArray backup = scene.read(bak);
            if (backup != contentOf(Scene::generationIn(backup)))
                return broken(bak + QStringLiteral(" is not whole"));
        }
        observed.generations.push_back(generation);
    }
    return observed;
}

bool saveIcon(Scene& scene, int generation)
{
    QImage mask(32, 32, QImage::Format_RGB32);
    mask.fill(Qt::black);
    Glsave32 writer(scene.root.platform().paths());
    return writer.SaveAsIcon(pictureOf(generation), mask, 32, 32, 16, kSavedIcon.toStdString()) == Glsave32::kSaved;
}

Observed observeIcon(Scene& scene)
{
    const int generation = scene.iconGeneration(kSavedIcon);
    if (generation < 0)
        return broken(kSavedIcon + QStringLiteral(" is not a whole icon"));
    return {{generation}, {}};
}

// A file type's icon changed: the numbered icon is written beside the old one, the registry value
// names it, and only then does it take the old one's name.
bool saveChange(Scene& scene, int generation)
{
    glyphary::testing::ScriptedDialogs dialogs;
    const auto platform = scene.freshPlatform(dialogs);
    AppContext context(*platform);
    context.WindowsFolder = QStringLiteral("C:\\WINDOWS");
    context.SystemFolder = QStringLiteral("C:\\WINDOWS\\SYSTEM");
    context.OsCode = QStringLiteral("98");
    const QString now = glyphary::testing::stringValue(platform->registry(), HKEY_CLASSES_ROOT, "txtfile\\DefaultIcon", "");
    changer::ChangeTarget target;
    target.kind = changer::TargetKind::FileTypeIcon;
    target.title = QStringLiteral("Text Document");
    target.keyPath = QStringLiteral("txtfile");
    target.extension = QStringLiteral(".txt");
    target.iconFile = now.section(u',', 0, 0);
    target.iconIndex = QStringLiteral("0");
    const changer::NewIcon icon{{pictureOf(generation)}, false};
    return changer::ChangeApplier(context).apply(target, &icon).changed;
}

void prepareChange(Scene& scene)
{
    prepareRegistry(scene);
    Registry& registry = scene.root.platform().registry();
    for (const auto& [key, value] : {std::pair{".txt", "txtfile"}, std::pair{"txtfile", "Text Document"},
             std::pair{"txtfile\\DefaultIcon", "C:\\WINDOWS\\SYSTEM\\shell32.dll,3"}}) {
        HKEY opened = 0;
        registry.RegCreateKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_ALL_ACCESS_LOW, &opened, nullptr);
        registry.RegSetValueExA(opened, "", REG_SZ, regString(value));
        registry.RegCloseKey(opened);
    }
}

Observed observeChange(Scene& scene)
{
    if (const QString error = scene.hivesError(); !error.isEmpty())
        return broken(error);
    glyphary::testing::ScriptedDialogs dialogs;
    const auto platform = scene.freshPlatform(dialogs);
    const QString named = glyphary::testing::stringValue(platform->registry(), HKEY_CLASSES_ROOT, "txtfile\\DefaultIcon", "");
    if (named != kChangedIcon + QStringLiteral(",0"))
        return broken(QStringLiteral("DefaultIcon is ") + named);
    const int generation = scene.iconGeneration(kChangedIcon);
    if (generation < 0)
        return broken(kChangedIcon + QStringLiteral(" is not a whole icon"));
    return {{generation}, {}};
}

const SaveCase kCases[] = {
    {"RegistryHives", prepareRegistry, saveRegistry, observeRegistry},
    {"UserFilesWithBackups", [](Scene& scene) { QDir().mkpath(scene.root.host(kProgramFolder.chopped(1))); }, saveUserFiles,
     observeUserFiles},
    {"SaveAsIcon", [](Scene& scene) { QDir().mkpath(scene.root.host(QStringLiteral("C:\\out"))); }, saveIcon, observeIcon},
    {"FileTypeChange", prepareChange, saveChange, observeChange},
};

void PrintTo(const SaveCase& save, std::ostream* out)
{
    *out << save.name;
}

class KilledSaveTest : public ::testing::TestWithParam<SaveCase> {
protected:
    // Runs one save of `generation` in a child, killed after `delay` unless it is negative. True
    // when the child was killed before it finished; a child that finished must have saved.
    bool runChild(int generation, std::chrono::microseconds delay)
    {
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(GetParam().save(scene, generation) ? 0 : 3);
        if (delay.count() >= 0) {
            ::usleep(static_cast<useconds_t>(delay.count()));
            ::kill(child, SIGKILL);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        const bool killed = WIFSIGNALED(status);
        EXPECT_TRUE(killed || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) << "the save failed on its own";
        return killed;
    }

    Scene scene;
};

TEST_P(KilledSaveTest, LeavesEveryFileOldOrNewAndWhole)
{
    const std::uint32_t seed = crashSeed();
    SCOPED_TRACE(::testing::Message() << "seed " << seed << " (GLYPHARY_CRASH_SEED)");
    const SaveCase& save = GetParam();
    save.prepare(scene);

    // Generation 0 saved whole, then the time a full save takes, measured from the fork.
    ASSERT_FALSE(runChild(0, std::chrono::microseconds(-1)));
    std::chrono::microseconds longest{0};
    for (int generation = 1; generation <= 3; ++generation) {
        const auto start = std::chrono::steady_clock::now();
        ASSERT_FALSE(runChild(generation, std::chrono::microseconds(-1)));
        longest = std::max(longest, std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start));
    }
    Observed before = save.observe(scene);
    ASSERT_EQ(before.error.toStdString(), "");
    for (const int generation : before.generations)
        ASSERT_EQ(generation, 3);

    std::mt19937 random(seed);
    std::uniform_int_distribution<std::int64_t> delays(0, longest.count() + longest.count() / 4);
    int killed = 0;
    for (int run = 0; run < kRunsPerSave; ++run) {
        const int generation = 4 + run;
        const auto delay = std::chrono::microseconds(delays(random));
        const bool wasKilled = runChild(generation, delay);
        killed += wasKilled ? 1 : 0;
        const Observed after = save.observe(scene);
        ASSERT_EQ(after.error.toStdString(), "") << "run " << run << ", killed after " << delay.count() << " us";
        ASSERT_EQ(after.generations.size(), before.generations.size());
        for (std::size_t i = 0; i < after.generations.size(); ++i) {
            const int now = after.generations[i];
            ASSERT_TRUE(now == before.generations[i] || now == generation)
                << "file " << i << " holds generation " << now << " after run " << run << " wrote " << generation;
            if (!wasKilled) {
                ASSERT_EQ(now, generation);
            }
        }
        before = after;
    }
    std::printf("%s: %d runs, %d killed while saving, full save %lld us\n", save.name, kRunsPerSave, killed,
                static_cast<long long>(longest.count()));
}

INSTANTIATE_TEST_SUITE_P(Saves, KilledSaveTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<SaveCase>& info) { return std::string(info.param.name); });

} // namespace
