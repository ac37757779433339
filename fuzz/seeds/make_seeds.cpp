// Writes a small seed corpus for each fuzz target, made by our own writers and test builders:
//   fuzz_seeds OUT   ->  OUT/ico, OUT/ani, OUT/bmp, OUT/icon_resources, OUT/wine_registry, OUT/shell_link
#include "formats/AniCodec.h"
#include "formats/BmpCodec.h"
#include "formats/IcoCodec.h"
#include "formats/ShellLink.h"
#include "support/PeBuilder.h"
#include "support/ShellLinkBytes.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <cstdio>
#include <vector>

namespace {

using namespace glyphary;
using formats::ByteVector;
using formats::ResourceName;

QImage sample(int side, bool cursor)
{
    QImage image(side, side, QImage::Format_ARGB32);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            image.setPixel(x, y, x < side / 4 ? qRgba(0, 0, 0, 0) : qRgba(x * 7, y * 5, cursor ? 200 : 40, 255));
    return image;
}

bool save(const QString& folder, const QString& name, const ByteVector& bytes)
{
    QDir().mkpath(folder);
    QFile file(folder + u'/' + name);
    return file.open(QIODevice::WriteOnly)
        && file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()))
        == static_cast<qint64>(bytes.size());
}

const char kHive[] = "WINE REGISTRY Version 2\n"
                     ";; All keys relative to \\\\Machine\n\n"
                     "#arch=win32\n\n"
                     "[Software\\\\Classes\\\\.ico] 1700000000\n"
                     "#time=1d9e0f5c8a1b2c3\n"
                     "@=\"icofile\"\n"
                     "\"Content Type\"=\"image/x-icon\"\n"
                     "\"Size\"=dword:00000020\n"
                     "\"Data\"=hex:01,02,03\n"
                     "\"Path\"=str(2):\"%SystemRoot%\\\\x\\\"q\\\"\"\n"
                     "\"Multi\"=str(7):\"a\\0b\\0\"\n"
                     "\"Raw\"=hex(123):ff,\\\n  00\n\n"
                     "[Control Panel\\\\Cursors] 1700000001\n"
                     "#class=\"x\"\n"
                     "\"Arrow\"=\"\"\n";

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds OUT\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    bool ok = true;
    const auto put = [&](const char* target, const char* name, const formats::IconCodecResult<ByteVector>& bytes) {
        ok = bytes && save(out + u'/' + QLatin1StringView(target), QLatin1StringView(name), *bytes.value) && ok;
    };

    put("ico", "16colour.ico", formats::writeIco(sample(32, false), 4));
    put("ico", "256colour.ico", formats::writeIco(sample(32, false), 8));
    put("ico", "mono.cur", formats::writeCur(sample(32, true), 1, 3, 5));
    const std::vector<formats::IconToWrite> several = {{sample(16, false), 8, false, 0, 0}, {sample(32, false), 32, false, 0, 0},
        {sample(64, false), 32, true, 0, 0}};
    put("ico", "several.ico", formats::writeIco(several));

    std::vector<formats::IconImage> frames;
    for (int i = 0; i < 3; ++i) {
        formats::IconImage frame;
        frame.image = sample(32, true).transformed(QTransform().rotate(90.0 * i));
        frame.hotspotX = i;
        frame.hotspotY = i;
        frames.push_back(frame);
    }
    formats::AniOptions options;
    put("ani", "plain.ani", formats::writeAni(frames, 4, options));
    options.sequence = {0, 1, 2, 1};
    options.rates = {5, 6, 7, 8};
    options.title = QStringLiteral("Seed");
    options.author = QStringLiteral("Glyphary");
    put("ani", "sequenced.ani", formats::writeAni(frames, 8, options));

    put("bmp", "picture.bmp", formats::writeBmp(sample(24, false)));

    testing::ResourceBuilder library;
    library.iconGroup(ResourceName::byName(u"MAIN"), {testing::dibImage(4, 16), testing::dibImage(8)})
        .iconGroup(ResourceName::byId(7), {testing::dibImage(32)})
        .cursorGroup(ResourceName::byId(2), {{testing::dibImage(1), 4, 4}})
        .version(4, 72);
    ok = save(out + QStringLiteral("/icon_resources"), QStringLiteral("library.dll"), library.pe32()) && ok;
    ok = save(out + QStringLiteral("/icon_resources"), QStringLiteral("library64.dll"), library.pe32Plus()) && ok;
    ok = save(out + QStringLiteral("/icon_resources"), QStringLiteral("library.icl"), library.ne()) && ok;

    ok = save(out + QStringLiteral("/wine_registry"), QStringLiteral("system.reg"),
             ByteVector(std::begin(kHive), std::end(kHive) - 1)) && ok;

    formats::ShellLinkFields link;
    link.exeFile = u"C:\\windows\\notepad.exe";
    link.workDir = u"C:\\windows";
    link.iconFile = u"C:\\windows\\system\\shell32.dll";
    link.iconIndex = 3;
    ok = save(out + QStringLiteral("/shell_link"), QStringLiteral("written.lnk"), formats::writeShellLink(link)) && ok;
    testing::LinkParts parts;
    parts.unicode = false;
    parts.idList = testing::idListItems("C:\\WINDOWS\\NOTEPAD.EXE");
    parts.linkInfo = testing::linkInfoBytes("C:\\WINDOWS\\", "NOTEPAD.EXE");
    parts.name = u"Notes";
    parts.iconLocation = u"%SystemRoot%\\x.ico";
    parts.moreFlags = 0x4200;
    parts.extraBlocks = {testing::pathBlock(testing::kEnvironmentBlock, u"%windir%\\notepad.exe"),
                         testing::pathBlock(testing::kIconEnvironmentBlock, u"%SystemRoot%\\x.ico")};
    ok = save(out + QStringLiteral("/shell_link"), QStringLiteral("ansi.lnk"), testing::linkBytes(parts)) && ok;

    if (!ok)
        std::fprintf(stderr, "fuzz_seeds: could not write every seed\n");
    return ok ? 0 : 1;
}
