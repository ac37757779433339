#include "core/AppContext.h"
#include "builder/CatalogueBuilder.h"
#include "catalogue/CatalogueFiles.h"
#include "builder/CatalogueFolderScan.h"
#include "builder/DemoCatalogue.h"
#include "formats/AniCodec.h"
#include "formats/IcoCodec.h"
#include "sources/CatalogueCell.h"
#include "sources/CoreLibrary.h"
#include "support/Files.h"
#include "support/IconBytes.h"
#include "support/TempRoot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace glyphary;
using glyphary::testing::asQByteArray;

namespace {

const QString kProgram = QStringLiteral("C:\\Glyphary\\");
const QString kTemp = QStringLiteral("c:\\windows\\temp\\");

// Opaque pixels of many colours (more than 256), a transparent left band and bottom rows.
QImage hiColourIcon(int seed, QSize size = {32, 32})
{
    return test::imageOf(size.width(), size.height(), [=](int x, int y) {
        return x < 3 || y >= size.height() - 3 ? 0u : qRgb((x * 8 + seed) % 256, (y * 8 + 1) % 256, ((x + y) * 4 + seed * 50) % 256);
    });
}

// Blocks of `colours` colours, a transparent corner.
QImage fewColourIcon(int seed, int colours)
{
    return test::imageOf(32, 32, [=](int x, int y) {
        const int n = (x / 4 + y / 4 * 8) % colours;
        return x + y < 6 ? 0u : qRgb((n * 37 + seed) % 256, (n * 91) % 256, (n * 53 + 7) % 256);
    });
}

QByteArray png(const QImage& image) { return asQByteArray(test::pngBytes(image)); }

void writeHost(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

struct Token {
    QString member;
    int number = 0;
    QChar digit, type;
};

Token parseToken(const QString& token)
{
    const QStringList parts = token.split(u':');
    return {parts.value(0), parts.value(1).toInt(), parts.value(2).at(0), parts.value(2).at(1)};
}

class CatalogueBuilderTest : public ::testing::Test {
protected:
    CatalogueBuilderTest() : context(root.platform()), library(context)
    {
        context.ProgramFolder = kProgram;
        context.TempFolder = kTemp;
        QDir().mkpath(root.host(kTemp));
    }

    QString out() const { return root.host(kProgram.chopped(1)); }
    QString in(const QString& relative) const { return images.filePath(relative); }
    void save(const QString& relative, const QByteArray& content) { writeHost(in(relative), content); }
    // A keyword file outside the image folder.
    QString keywordFile(const QByteArray& text)
    {
        const QString path = rules.filePath(QStringLiteral("keywords.txt"));
        writeHost(path, text);
        return path;
    }

    CatalogueBuildResult buildFromFolder(const QString& keywordFile = {})
    {
        const FolderScanResult scan = scanImageFolder(images.path(), keywordFile);
        EXPECT_TRUE(scan.ok) << scan.error.toStdString();
        const CatalogueBuildResult built = buildCatalogue(scan.sources, out());
        EXPECT_TRUE(built.ok) << built.error.toStdString();
        LoadCatalogue(context);
        return built;
    }

    QStringList keywords() const
    {
        return QStringList(context.keywordTable.Keywords.begin(),
                           context.keywordTable.Keywords.begin() + context.keywordTable.KeywordCount);
    }
    QStringList tokensOf(const QString& keyword) const
    {
        const qsizetype k = keywords().indexOf(keyword);
        return k < 0 ? QStringList()
                     : context.keywordTable.KeywordData[static_cast<std::size_t>(k)].split(u';', Qt::SkipEmptyParts);
    }

    // The icon a catalogue row shows: its member made current, its cell made transparent.
    QImage draw(const QString& token)
    {
        const Token parts = parseToken(token);
        library.MakeLibraryCurrent(parts.member);
        EXPECT_TRUE(library.libraryAvailable()) << token.toStdString();
        return cellToIcon(library.GraphicCell(parts.number), maskColourForDigit(parts.digit, 0));
    }

    QTemporaryDir images;
    QTemporaryDir rules;
    glyphary::testing::TempRoot root;
    AppContext context;
    CoreLibrary library;
};

TEST_F(CatalogueBuilderTest, IconsFromAFolderDrawAsTheyWereWithTypesKeywordsAndGroups)
{
    const QImage alpha = hiColourIcon(1), beta = fewColourIcon(2, 12), gamma = fewColourIcon(3, 100), delta = hiColourIcon(4);
    const std::vector<QImage> epsilon = {hiColourIcon(5), fewColourIcon(6, 5), hiColourIcon(7)};
    std::vector<formats::IconImage> frames(3);
    for (std::size_t n = 0; n < 3; ++n)
        frames[n].image = epsilon[n];
    save(QStringLiteral("shapes/alpha-star.png"), png(alpha));
    save(QStringLiteral("shapes/beta.png"), png(beta));
    save(QStringLiteral("icons/gamma.ico"), asQByteArray(*formats::writeIco(gamma, 8).value));
    save(QStringLiteral("cursors/delta.cur"), asQByteArray(*formats::writeCur(delta, 32, 5, 6).value));
    save(QStringLiteral("anims/epsilon.ani"), asQByteArray(*formats::writeAni(frames, 32, {}).value));
    save(QStringLiteral("zeta.png"), png(hiColourIcon(8, {64, 48})));
    save(QStringLiteral("notes.txt"), "not an image");

    const CatalogueBuildResult built = buildFromFolder();
    EXPECT_EQ(built.summary.icons, 8);
    EXPECT_EQ(built.summary.members, 2); // the icons, then the animation on its own
    EXPECT_EQ(built.summary.archives, 1);
    EXPECT_EQ(context.CatalogueAvailable, kTrue);
    for (const auto& [keyword, source, type] : {std::tuple{"alpha", &alpha, u'2'}, std::tuple{"star", &alpha, u'2'},
                                                std::tuple{"beta", &beta, u'0'}, std::tuple{"gamma", &gamma, u'1'},
                                                std::tuple{"delta", &delta, u'8'}}) {
        const QStringList tokens = tokensOf(QString::fromLatin1(keyword));
        ASSERT_EQ(tokens.size(), 1) << keyword;
        EXPECT_EQ(parseToken(tokens[0]).type, type) << keyword;
        EXPECT_TRUE(test::samePixels(draw(tokens[0]), *source)) << keyword;
    }

    // The animation's frames are the whole of a member of their own, in playing order.
    const QStringList frameTokens = tokensOf(QStringLiteral("epsilon"));
    ASSERT_EQ(frameTokens.size(), 3);
    for (int n = 0; n < 3; ++n) {
        const Token token = parseToken(frameTokens[n]);
        EXPECT_EQ(token.member, QStringLiteral("2"));
        EXPECT_EQ(token.number, n);
        EXPECT_EQ(token.type, u'5');
        EXPECT_TRUE(test::samePixels(draw(frameTokens[n]), epsilon[static_cast<std::size_t>(n)])) << n;
    }

    // Pictures of another size are fitted into the cell, keeping their proportions.
    const QStringList zeta = tokensOf(QStringLiteral("zeta"));
    ASSERT_EQ(zeta.size(), 1);
    const QImage fitted = draw(zeta[0]);
    EXPECT_EQ(qAlpha(fitted.pixel(16, 2)), 0);
    EXPECT_EQ(qAlpha(fitted.pixel(16, 16)), 255);

    EXPECT_EQ(tokensOf(QStringLiteral("group shapes")).size(), 2);
    EXPECT_EQ(tokensOf(QStringLiteral("group anims")).size(), 3);
    EXPECT_EQ(tokensOf(QStringLiteral("shapes")), tokensOf(QStringLiteral("group shapes")));
    EXPECT_EQ(keywords().filter(QStringLiteral("group")).size(), 4); // zeta lies in no subfolder
    QStringList sorted = keywords();
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    EXPECT_EQ(keywords(), sorted);
}

TEST_F(CatalogueBuilderTest, ColourClassesReduceWithinThePalette)
{
    const QImage rich = hiColourIcon(9);
    save(QStringLiteral("rich.png"), png(rich));
    buildFromFolder(keywordFile("!classes;16, 256,hi;rich.png\n"));
    const QStringList tokens = tokensOf(QStringLiteral("rich"));
    ASSERT_EQ(tokens.size(), 3);
    for (const QString& token : tokens) {
        const QImage drawn = draw(token);
        const QChar type = parseToken(token).type;
        QSet<QRgb> colours;
        double error = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QRgb source = rich.pixel(x, y), shown = drawn.pixel(x, y);
                ASSERT_EQ(qAlpha(shown), qAlpha(source)) << x << "," << y;
                if (qAlpha(source) == 0)
                    continue;
                colours.insert(shown);
                error += std::abs(qRed(shown) - qRed(source)) + std::abs(qGreen(shown) - qGreen(source))
                    + std::abs(qBlue(shown) - qBlue(source));
            }
        const double meanError = error / (29.0 * 29.0 * 3.0);
        if (type == u'2') {
            EXPECT_TRUE(test::samePixels(drawn, rich));
        } else {
            ASSERT_TRUE(type == u'0' || type == u'1') << type.toLatin1();
            EXPECT_LE(colours.size(), type == u'0' ? 16 : 256);
            EXPECT_LT(meanError, type == u'0' ? 24.0 : 6.0);
        }
    }
}

TEST_F(CatalogueBuilderTest, KeywordFileNamesKeywordsGroupsAndCursors)
{
    save(QStringLiteral("shapes/alpha-star.png"), png(hiColourIcon(1)));
    save(QStringLiteral("shapes/beta.png"), png(fewColourIcon(2, 4)));
    buildFromFolder(keywordFile("# the sky\r\n\r\nnight sky;shapes/ALPHA-STAR.png\r\ngroup Celestial;shapes\\\r\n"
                                "!cursor;shapes/beta.png\r\n"));
    EXPECT_EQ(tokensOf(QStringLiteral("night sky")).size(), 1);
    EXPECT_TRUE(tokensOf(QStringLiteral("alpha")).isEmpty()); // named by the file: no name words
    ASSERT_EQ(tokensOf(QStringLiteral("beta")).size(), 1);
    EXPECT_EQ(parseToken(tokensOf(QStringLiteral("beta"))[0]).type, u'6');
    EXPECT_EQ(tokensOf(QStringLiteral("group Celestial")).size(), 2);
    EXPECT_FALSE(keywords().contains(QStringLiteral("group shapes")));
}

TEST_F(CatalogueBuilderTest, BadInputGivesAClearErrorAndWritesNothing)
{
    const auto scanError = [&](const QString& keywords = {}) { return scanImageFolder(images.path(), keywords).error; };
    EXPECT_EQ(scanImageFolder(in(QStringLiteral("missing")), {}).error,
              QStringLiteral("no such folder: %1").arg(in(QStringLiteral("missing"))));
    save(QStringLiteral("readme.txt"), "no pictures here");
    EXPECT_TRUE(scanError().startsWith(QStringLiteral("no images")));
    save(QStringLiteral("broken.png"), "not a PNG");
    EXPECT_TRUE(scanError().startsWith(QStringLiteral("none of the 1 image files")));

    save(QStringLiteral("good.png"), png(hiColourIcon(1)));
    EXPECT_EQ(scanError(keywordFile("ok;good.png\nno separator here\n")),
              QStringLiteral("keyword file line 2: no path after \"no separator here\""));
    EXPECT_EQ(scanError(keywordFile("!bogus;good.png\n")), QStringLiteral("keyword file line 1: unknown rule \"!bogus\""));
    EXPECT_EQ(scanError(keywordFile("!classes;64;good.png\n")),
              QStringLiteral("keyword file line 1: expected !classes;16,256,hi;PATH"));
    const QString missingFile = rules.filePath(QStringLiteral("none.txt"));
    EXPECT_TRUE(scanError(missingFile).startsWith(QStringLiteral("cannot read the keyword file %1: ").arg(missingFile)));

    const FolderScanResult scan = scanImageFolder(images.path(), {});
    ASSERT_TRUE(scan.ok);
    EXPECT_TRUE(scan.warnings.contains(QStringLiteral("broken.png: skipped, not a readable PNG file")));

    // OUT naming a file: the folder cannot be made, and the file stays as it was.
    save(QStringLiteral("blocker"), "keep");
    const CatalogueBuildResult blocked = buildCatalogue(scan.sources, in(QStringLiteral("blocker")));
    EXPECT_FALSE(blocked.ok);
    EXPECT_EQ(blocked.error, QStringLiteral("cannot create the folder %1").arg(in(QStringLiteral("blocker"))));
    QFile check(in(QStringLiteral("blocker")));
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), QByteArray("keep"));

    EXPECT_EQ(buildCatalogue({}, out()).error, QStringLiteral("no images to store"));
    EXPECT_FALSE(buildCatalogue(scan.sources, out(), {.cellsPerMember = 0, .progress = {}}).ok);
    EXPECT_FALSE(QFileInfo::exists(out() + QStringLiteral("/Icondata.dat")));
}

TEST_F(CatalogueBuilderTest, MembersSpreadOverTheArchivesByTheMemberTable)
{
    std::vector<CatalogueSource> sources;
    for (int i = 1; i <= 88; ++i)
        sources.push_back({.origin = QString::number(i), .frames = {fewColourIcon(i, 3)}, .keywords = {QStringLiteral("icon%1").arg(i)}});
    writeHost(out() + QStringLiteral("/Iconlib2.res"), {}); // from an earlier build

    const CatalogueBuildOptions onePerMember{.cellsPerMember = 1, .progress = {}};
    const CatalogueBuildResult built = buildCatalogue(sources, out(), onePerMember);
    ASSERT_TRUE(built.ok) << built.error.toStdString();
    EXPECT_EQ(built.summary.members, 88);
    EXPECT_EQ(built.summary.archives, 2);
    // No temporary files left, nor the earlier build's archive.
    EXPECT_EQ(QDir(out()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("Icondata.dat"), QStringLiteral("Iconlib.res"), QStringLiteral("Iconlib1.res")}));

    LoadCatalogue(context);
    const QStringList tokens = tokensOf(QStringLiteral("icon88"));
    ASSERT_EQ(tokens.size(), 1);
    EXPECT_EQ(tokens[0].section(u':', 0, 1), QStringLiteral("88:0"));
    EXPECT_TRUE(test::samePixels(draw(tokens[0]), fewColourIcon(88, 3)));
    EXPECT_EQ(library.currentArchiveName(), QStringLiteral("Iconlib1.res"));

    // 325 members do not fit; the catalogue before stays.
    sources.resize(325, sources.front());
    const CatalogueBuildResult tooMany = buildCatalogue(sources, out(), onePerMember);
    EXPECT_FALSE(tooMany.ok);
    EXPECT_TRUE(tooMany.error.contains(QStringLiteral("324")));
    EXPECT_TRUE(QFileInfo::exists(out() + QStringLiteral("/Iconlib1.res")));
}

TEST_F(CatalogueBuilderTest, LongAnimationsAndTooManyKeywordsAreCutWithAWarning)
{
    const std::vector<QImage> frames = {fewColourIcon(0, 2), fewColourIcon(1, 2), fewColourIcon(2, 2), fewColourIcon(3, 2),
                                        fewColourIcon(4, 2)};
    const CatalogueSource animation{.origin = "long.ani", .kind = CatalogueKind::Animation, .frames = frames, .keywords = {"long"}};
    CatalogueSource icon{.origin = "many", .frames = {fewColourIcon(1, 2)}, .keywords = {QStringLiteral("group zzz")}};
    for (int k = 0; k < kMaxCatalogueKeywords + 50; ++k)
        icon.keywords.append(QStringLiteral("word%1").arg(k));
    icon.keywords.append(QStringLiteral("WORD0")); // the same keyword in another case

    const CatalogueBuildResult built = buildCatalogue({icon, animation}, out(), {.cellsPerMember = 3, .progress = {}});
    ASSERT_TRUE(built.ok) << built.error.toStdString();
    EXPECT_EQ(built.summary.keywords, kMaxCatalogueKeywords);
    ASSERT_EQ(built.summary.warnings.size(), 2);
    EXPECT_TRUE(built.summary.warnings[0].startsWith(QStringLiteral("long.ani: only the first 3 of 5 frames stored")));

    LoadCatalogue(context);
    EXPECT_EQ(context.keywordTable.KeywordCount, kMaxCatalogueKeywords);
    EXPECT_EQ(tokensOf(QStringLiteral("long")).size(), 3);
    EXPECT_EQ(tokensOf(QStringLiteral("group zzz")).size(), 1);
    EXPECT_EQ(tokensOf(QStringLiteral("word0")).size(), 1);
}

TEST(CatalogueFolderScan, KeywordsFromNames)
{
    EXPECT_EQ(keywordsFromName(QStringLiteral("document-open")), (QStringList{QStringLiteral("document"), QStringLiteral("open")}));
    EXPECT_EQ(keywordsFromName(QStringLiteral("x-Office_document2 12 groupware document")),
              (QStringList{QStringLiteral("office"), QStringLiteral("document2"), QStringLiteral("document")}));
    EXPECT_TRUE(keywordsFromName(QStringLiteral("--")).isEmpty());
}

TEST(DemoCatalogue, BuildsOnceFromUnchangedInputsAndNothingWithoutTheTheme)
{
    QTemporaryDir theme;
    QTemporaryDir out;
    const auto saveIcon = [&](const QString& name, const QImage& image) {
        writeHost(theme.filePath(QStringLiteral("32x32/%1.png").arg(name)), png(image));
    };
    for (const char* name : {"actions/go-up", "actions/go-down", "actions/go-next", "actions/go-previous", "status/weather-clear"})
        saveIcon(QString::fromLatin1(name), fewColourIcon(static_cast<int>(qHash(QByteArray(name)) % 200), 6));
    QFile::link(QStringLiteral("go-up.png"), theme.filePath(QStringLiteral("32x32/actions/upward_arrow.png")));
    QImage strip(128, 32, QImage::Format_ARGB32);
    strip.fill(qRgba(0, 0, 0, 20));
    saveIcon(QStringLiteral("animations/process-working"), strip);

    const QString missingOut = out.filePath(QStringLiteral("bin"));
    EXPECT_EQ(buildDemoCatalogue(theme.filePath(QStringLiteral("nowhere")), missingOut).outcome, DemoOutcome::NoTheme);
    EXPECT_FALSE(QFileInfo::exists(missingOut));

    const DemoResult first = buildDemoCatalogue(theme.path(), out.path());
    ASSERT_EQ(first.outcome, DemoOutcome::Built) << first.error.toStdString();
    QFile index(out.filePath(kCatalogueIndexFile));
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(index.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    const auto tokensOf = [&](const char* keyword) {
        for (const QString& line : lines)
            if (line.section(u';', 0, 0) == QLatin1StringView(keyword))
                return line.section(u';', 1).split(u';');
        return QStringList();
    };
    // Each icon in the three colour classes; the linked name is one more keyword of its icon.
    ASSERT_EQ(tokensOf("up").size(), 3 + 3); // go-up as an icon and as a cursor
    EXPECT_EQ(tokensOf("upward"), tokensOf("up").mid(0, 3));
    EXPECT_EQ(tokensOf("group actions").size(), 4 * 3);
    EXPECT_EQ(tokensOf("group status").size(), 3);
    EXPECT_EQ(tokensOf("group cursors").size(), 4 * 3);
    EXPECT_EQ(tokensOf("spinner").size(), 3 * 3); // the strip's first frame is its resting picture
    QSet<QChar> types;
    for (const QString& line : lines)
        for (const QString& token : line.section(u';', 1).split(u';'))
            types.insert(token.back());
    EXPECT_EQ(types.size(), 9);

    const QDateTime written = QFileInfo(out.filePath(QStringLiteral("Iconlib.res"))).lastModified();
    EXPECT_EQ(buildDemoCatalogue(theme.path(), out.path()).outcome, DemoOutcome::UpToDate);
    EXPECT_EQ(QFileInfo(out.filePath(QStringLiteral("Iconlib.res"))).lastModified(), written);
    saveIcon(QStringLiteral("status/weather-clear"), fewColourIcon(1, 3));
    EXPECT_EQ(buildDemoCatalogue(theme.path(), out.path()).outcome, DemoOutcome::Built);
}

} // namespace
