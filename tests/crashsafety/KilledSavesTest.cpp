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
#include "support/RegistryValues.h"
#include "support/TempRoot.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

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
using glyphary::testing::ScriptedDialogs;
using glyphary::testing::TempRoot;
using glyphary::testing::stringValue;

namespace {

constexpr int kRunsPerSave = 60; // four saves: 240 kills
constexpr int kUserLines = 3000;
const QString kProgramFolder = QStringLiteral("C:\\prog\\");
const QString kSavedIcon = QStringLiteral("C:\\out\\saved.ico");
const QString kChangedIcon = QStringLiteral("C:\\WINDOWS\\Icons\\1.ico");

formats::Bytes bytesOf(const QByteArray& data)
{
    return {reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size())};
}

// A generation is told by the red of an icon and by the text of files and values.
QImage pictureOf(int generation)
{
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(qRgb(10 + generation, 90, 200));
    return image;
}

// The keyword file (no tail) or the reference file of a generation, as SaveUserFiles writes them.
QByteArray userFile(int generation, const char* tail)
{
    QByteArray text;
    for (int i = 0; i < kUserLines; ++i) {
        text += "g" + QByteArray::number(generation) + "k" + QByteArray::number(10000 + i);
        if (*tail)
            text += ";C:\\icons\\" + QByteArray::number(i) + tail;
        text += "\r\n";
    }
    return text;
}

// The generation in a text that starts "g<N>k"; -1 for any other.
int generationIn(const QByteArray& text)
{
    bool ok = false;
    const int generation = text.startsWith('g') ? text.mid(1, text.indexOf('k') - 1).toInt(&ok) : -1;
    return ok ? generation : -1;
}

// Per file its generation, or why the files are not whole.
struct Observed {
    std::vector<int> generations;
    QString error;
};

PlatformConfig configOf(const TempRoot& root)
{
    PlatformConfig config;
    config.rootHostPath = root.rootPath();
    config.osSpec = QStringLiteral("98");
    return config;
}

// A platform of its own over the same root, as a new run of the program would have.
struct FreshRun {
    explicit FreshRun(const TempRoot& root) : platform(configOf(root), dialogs) {}
    ScriptedDialogs dialogs;
    Platform platform;
    Registry& registry() { return platform.registry(); }
};

// The files a save leaves in a root; hives are read by their host paths, outside the drive.
Observed iconIn(const TempRoot& root, const QString& windowsPath)
{
    const auto file = formats::parseIco(bytesOf(root.readFile(windowsPath)));
    const formats::IconImage* image = file ? file.value->best(32) : nullptr;
    if (!image || image->image.width() != 32)
        return {{}, windowsPath + QStringLiteral(" is not a whole icon")};
    return {{qRed(image->image.pixel(16, 16)) - 10}, {}};
}

QString hivesError(TempRoot& root)
{
    for (const char* name : {"/system.reg", "/user.reg"}) {
        const QString hive = root.platform().paths().toWindows(root.rootPath() + QLatin1StringView(name));
        const auto parsed = formats::parseWineRegistry(bytesOf(root.readFile(hive)));
        if (!parsed.complete || !parsed.document.hasHeader())
            return hive + QStringLiteral(" is missing or does not parse");
    }
    return {};
}

// Large enough hives that writing them takes a while.
void prepareRegistry(TempRoot& root)
{
    Registry& registry = root.platform().registry();
    const RegistryBatch batch(registry);
    for (int i = 0; i < 3000; ++i)
        registry.setValue(HKEY_LOCAL_MACHINE, "Software\\Classes\\.x" + std::to_string(i), "", REG_SZ,
                          regString("type" + std::to_string(i)));
}

// Both hives written in one batch.
bool saveRegistry(TempRoot& root, int generation)
{
    FreshRun run(root);
    run.registry().beginBatch();
    for (const HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        run.registry().setValue(hive, "Software\\Glyphary\\Crash", "Gen", REG_SZ,
                                regString(std::to_string(generation)));
    return run.registry().endBatch() == ERROR_SUCCESS;
}

Observed observeRegistry(TempRoot& root)
{
    if (const QString error = hivesError(root); !error.isEmpty())
        return {{}, error};
    FreshRun run(root);
    Observed observed;
    for (const HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        bool ok = false;
        observed.generations.push_back(stringValue(run.registry(), hive, "Software\\Glyphary\\Crash", "Gen").toInt(&ok));
        if (!ok)
            return {{}, QStringLiteral("the value Gen is gone")};
    }
    return observed;
}

bool saveUserFiles(TempRoot& root, int generation)
{
    AppContext context(root.platform());
    context.ProgramFolder = kProgramFolder;
    CatalogueLists& lists = context.catalogueLists;
    for (int i = 0; i < kUserLines; ++i) {
        const QString keyword = QStringLiteral("g%1k%2").arg(generation).arg(10000 + i);
        lists.lstKey.add(keyword);
        lists.lstUser.add(keyword, i);
        lists.cmbUser.add(QStringLiteral("C:\\icons\\%1.ico;0;x;1user").arg(i), i);
    }
    context.KeywordsChanged = kTrue;
    context.ReferencesChanged = kTrue;
    return SaveUserFiles(context);
}

// Each .dat whole, and its .bak, when there is one, whole too.
Observed observeUserFiles(TempRoot& root)
{
    Observed observed;
    for (const auto& [base, tail] : {std::pair{"Keyuser", ""}, std::pair{"Iconuser", ".ico;0;x;1user"}}) {
        for (const char* extension : {".dat", ".bak"}) {
            const QString file = kProgramFolder + QLatin1StringView(base) + QLatin1StringView(extension);
            const bool dat = extension[1] == 'd';
            if (!dat && !QFile::exists(root.host(file)))
                continue;
            const QByteArray text = root.readFile(file);
            const int generation = generationIn(text);
            if (generation < 0 || text != userFile(generation, tail))
                return {{}, file + QStringLiteral(" is missing or not whole")};
            if (dat)
                observed.generations.push_back(generation);
        }
    }
    return observed;
}

bool saveIcon(TempRoot& root, int generation)
{
    QImage mask(32, 32, QImage::Format_RGB32);
    mask.fill(Qt::black);
    return Glsave32(root.platform().paths()).SaveAsIcon(pictureOf(generation), mask, 32, 32, 16, kSavedIcon.toStdString())
        == Glsave32::kSaved;
}

void prepareChange(TempRoot& root)
{
    prepareRegistry(root);
    Registry& registry = root.platform().registry();
    registry.setValue(HKEY_CLASSES_ROOT, ".txt", "", REG_SZ, regString("txtfile"));
    registry.setValue(HKEY_CLASSES_ROOT, "txtfile", "", REG_SZ, regString("Text Document"));
    registry.setValue(HKEY_CLASSES_ROOT, "txtfile\\DefaultIcon", "", REG_SZ,
                      regString("C:\\WINDOWS\\SYSTEM\\shell32.dll,3"));
}

// A file type's icon changed: the numbered icon is written beside the old one, the registry value
// names it, and only then does it take the old one's name.
bool saveChange(TempRoot& root, int generation)
{
    FreshRun run(root);
    AppContext context(run.platform);
    context.WindowsFolder = QStringLiteral("C:\\WINDOWS");
    context.SystemFolder = QStringLiteral("C:\\WINDOWS\\SYSTEM");
    context.OsCode = QStringLiteral("98");
    changer::ChangeTarget target;
    target.kind = changer::TargetKind::FileTypeIcon;
    target.title = QStringLiteral("Text Document");
    target.keyPath = QStringLiteral("txtfile");
    target.extension = QStringLiteral(".txt");
    target.iconFile = stringValue(run.registry(), HKEY_CLASSES_ROOT, "txtfile\\DefaultIcon", "").section(u',', 0, 0);
    target.iconIndex = QStringLiteral("0");
    const changer::NewIcon icon{{pictureOf(generation)}, false};
    return changer::ChangeApplier(context).apply(target, &icon).changed;
}

Observed observeChange(TempRoot& root)
{
    if (const QString error = hivesError(root); !error.isEmpty())
        return {{}, error};
    FreshRun run(root);
    const QString named = stringValue(run.registry(), HKEY_CLASSES_ROOT, "txtfile\\DefaultIcon", "");
    if (named != kChangedIcon + QStringLiteral(",0"))
        return {{}, QStringLiteral("DefaultIcon is ") + named};
    return iconIn(root, kChangedIcon);
}

// One kind of save. `save` runs in the child; `observe` reads the files afterwards.
struct SaveCase {
    const char* name;
    std::function<void(TempRoot&)> prepare;
    std::function<bool(TempRoot&, int generation)> save;
    std::function<Observed(TempRoot&)> observe;
};

const SaveCase kCases[] = {
    {"RegistryHives", prepareRegistry, saveRegistry, observeRegistry},
    {"UserFilesWithBackups", [](TempRoot& root) { QDir().mkpath(root.host(kProgramFolder.chopped(1))); }, saveUserFiles,
     observeUserFiles},
    {"SaveAsIcon", [](TempRoot& root) { QDir().mkpath(root.host(QStringLiteral("C:\\out"))); }, saveIcon,
     [](TempRoot& root) { return iconIn(root, kSavedIcon); }},
    {"FileTypeChange", prepareChange, saveChange, observeChange},
};

void PrintTo(const SaveCase& save, std::ostream* out) { *out << save.name; }

class KilledSaveTest : public ::testing::TestWithParam<SaveCase> {
protected:
    // Runs one save of `generation` in a child, killed after `delay` unless it is negative. True
    // when the child was killed before it finished; a child that finished must have saved.
    bool runChild(int generation, std::chrono::microseconds delay)
    {
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(GetParam().save(root, generation) ? 0 : 3);
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

    TempRoot root;
};

TEST_P(KilledSaveTest, LeavesEveryFileOldOrNewAndWhole)
{
    const char* seedText = std::getenv("GLYPHARY_CRASH_SEED");
    const std::uint32_t seed = seedText ? static_cast<std::uint32_t>(std::strtoul(seedText, nullptr, 10)) : 20261208;
    SCOPED_TRACE(::testing::Message() << "seed " << seed << " (GLYPHARY_CRASH_SEED)");
    const SaveCase& save = GetParam();
    save.prepare(root);

    // Generation 0 saved whole, then the time a full save takes, measured from the fork.
    ASSERT_FALSE(runChild(0, std::chrono::microseconds(-1)));
    std::chrono::microseconds longest{0};
    for (int generation = 1; generation <= 3; ++generation) {
        const auto start = std::chrono::steady_clock::now();
        ASSERT_FALSE(runChild(generation, std::chrono::microseconds(-1)));
        longest = std::max(longest, std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start));
    }
    Observed before = save.observe(root);
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
        const Observed after = save.observe(root);
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
