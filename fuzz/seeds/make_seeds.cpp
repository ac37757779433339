// Writes a small seed corpus for each fuzz target, made by our own writers and test builders:
//   fuzz_seeds OUT   ->  OUT/<target> for every target in fuzz/
#include "builder/ZipWriter.h"
#include "formats/AniCodec.h"
#include "formats/BmpCodec.h"
#include "formats/IcoCodec.h"
#include "formats/ShellLink.h"
#include "support/PeBuilder.h"
#include "support/ShellLinkBytes.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace glyphary;
using formats::ByteVector;
using formats::ResourceName;
using namespace std::string_literals;

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

void put16(ByteVector& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(ByteVector& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// A placeable WMF one inch square: a brush, a rectangle, the end record.
ByteVector wmfSeed()
{
    ByteVector records;
    const auto record = [&](std::uint16_t function, std::initializer_list<std::uint16_t> words) {
        put32(records, static_cast<std::uint32_t>(3 + words.size()));
        put16(records, function);
        for (const std::uint16_t word : words)
            put16(records, word);
    };
    record(0x020C, {1440, 1440});    // SETWINDOWEXT
    record(0x02FC, {0, 0xFF, 0, 0}); // CREATEBRUSHINDIRECT
    record(0x012D, {0});             // SELECTOBJECT
    record(0x041B, {1440, 1440, 0, 0}); // RECTANGLE
    record(0x0000, {});              // EOF
    ByteVector file;
    put32(file, 0x9AC6CDD7);
    for (const std::uint16_t word : std::initializer_list<std::uint16_t>{0, 0, 0, 1440, 1440, 1440})
        put16(file, word);
    put32(file, 0);
    std::uint16_t sum = 0;
    for (std::size_t n = 0; n < file.size(); n += 2)
        sum = static_cast<std::uint16_t>(sum ^ (file[n] | (file[n + 1] << 8)));
    put16(file, sum);
    for (const std::uint16_t word : std::initializer_list<std::uint16_t>{1, 9, 0x0300})
        put16(file, word);
    put32(file, static_cast<std::uint32_t>(9 + records.size() / 2));
    put16(file, 1);
    put32(file, 7);
    put16(file, 0);
    file.insert(file.end(), records.begin(), records.end());
    return file;
}

// An EMF of 100 x 100 device pixels: header, brush, rectangle, end record.
ByteVector emfSeed()
{
    ByteVector records;
    const auto record = [](ByteVector& out, std::uint32_t type, std::initializer_list<std::uint32_t> values) {
        put32(out, type);
        put32(out, static_cast<std::uint32_t>(8 + values.size() * 4));
        for (const std::uint32_t value : values)
            put32(out, value);
    };
    record(records, 39, {1, 0, 0x0000FF00, 0}); // CREATEBRUSHINDIRECT
    record(records, 37, {1});                   // SELECTOBJECT
    record(records, 43, {0, 0, 99, 99});        // RECTANGLE
    record(records, 14, {0, 16, 20});           // EOF
    ByteVector file;
    const auto total = static_cast<std::uint32_t>(88 + records.size());
    record(file, 1, {0, 0, 99, 99, 0, 0, 2646, 2646, 0x464D4520, 0x10000, total, 5, 2, 0, 0, 0, 1024, 768, 320, 240});
    file.insert(file.end(), records.begin(), records.end());
    return file;
}

ByteVector bytesOf(const QByteArray& bytes)
{
    return ByteVector(bytes.begin(), bytes.end());
}

ByteVector bytesOf(const std::string& text)
{
    return ByteVector(text.begin(), text.end());
}

ByteVector qtPicture(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytesOf(bytes);
}

// The catalogue target's framing: two 16-bit lengths, then the index and the two user files.
ByteVector catalogueSeed(const std::string& index, const std::string& keywords, const std::string& references)
{
    ByteVector out;
    put16(out, static_cast<std::uint32_t>(index.size()));
    put16(out, static_cast<std::uint32_t>(keywords.size()));
    for (const std::string* part : {&index, &keywords, &references})
        out.insert(out.end(), part->begin(), part->end());
    return out;
}

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
    put("thumbnail", "several.ico", formats::writeIco(several));

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
    put("thumbnail", "sequenced.ani", formats::writeAni(frames, 8, options));

    put("bmp", "picture.bmp", formats::writeBmp(sample(24, false)));

    testing::ResourceBuilder library;
    library.iconGroup(ResourceName::byName(u"MAIN"), {testing::dibImage(4, 16), testing::dibImage(8)})
        .iconGroup(ResourceName::byId(7), {testing::dibImage(32)})
        .cursorGroup(ResourceName::byId(2), {{testing::dibImage(1), 4, 4}})
        .version(4, 72);
    ok = save(out + QStringLiteral("/icon_resources"), QStringLiteral("library.dll"), library.pe32()) && ok;
    ok = save(out + QStringLiteral("/icon_resources"), QStringLiteral("library64.dll"), library.pe32Plus()) && ok;
    ok = save(out + QStringLiteral("/icon_resources"), QStringLiteral("library.icl"), library.ne()) && ok;
    for (const char* target : {"executable", "version_resource", "thumbnail"}) {
        const QString folder = out + u'/' + QLatin1StringView(target);
        ok = save(folder, QStringLiteral("library.dll"), library.pe32()) && ok;
        ok = save(folder, QStringLiteral("library64.dll"), library.pe32Plus()) && ok;
        ok = save(folder, QStringLiteral("library.icl"), library.ne()) && ok;
    }

    // The profile target's first byte picks the section and key names; 0 is .ShellClassInfo/IconFile.
    ok = save(out + QStringLiteral("/profile_text"), QStringLiteral("desktop.ini"),
             bytesOf("\0[.ShellClassInfo]\r\nIconFile=C:\\a.ico\r\nIconIndex=0\r\n; note\r\n[Other]\r\nx = y\r\n"s))
        && ok;
    ok = save(out + QStringLiteral("/profile_text"), QStringLiteral("spaced.ini"),
             bytesOf("\x05  [ .shellclassinfo ]\niconindex = 3\n\n[.ShellClassInfo]\nIconFile=\0tail"s))
        && ok;

    ok = save(out + QStringLiteral("/catalogue_files"), QStringLiteral("catalogue"),
             catalogueSeed("Arrow;12;40;\r\nBook;7;\r\nNoTokens\r\n", "Mine\r\nZ\xe9" "bra\r\n",
                 "Mine;user;C:\\a.ico;3\r\nBook;user;C:\\b.dll;0\r\n"))
        && ok;

    const QByteArray member = [&] {
        const auto icon = formats::writeIco(sample(32, false), 4);
        return icon ? QByteArray(reinterpret_cast<const char*>(icon.value->data()), qsizetype(icon.value->size())) : QByteArray();
    }();
    for (const auto& [name, encryption] : {std::pair{"pkware.zip", ZipEncryption::TraditionalPkware},
             std::pair{"aes.zip", ZipEncryption::Aes256}, std::pair{"aes-ae2.zip", ZipEncryption::Aes256Ae2}}) {
        const auto archive = buildEncryptedZip({{"member.ico", member}, {"other.txt", QByteArray("text")}}, "secret",
                                               nullptr, encryption);
        ok = archive && save(out + QStringLiteral("/zip_member"), QLatin1StringView(name), bytesOf(*archive)) && ok;
    }

    for (const char* target : {"metafile", "picture"}) {
        const QString folder = out + u'/' + QLatin1StringView(target);
        ok = save(folder, QStringLiteral("square.wmf"), wmfSeed()) && ok;
        ok = save(folder, QStringLiteral("square.emf"), emfSeed()) && ok;
    }
    const QImage picture = sample(40, false);
    for (const char* format : {"PNG", "JPEG"})
        ok = save(out + QStringLiteral("/picture"), QStringLiteral("picture.") + QLatin1StringView(format).toString().toLower(),
                 qtPicture(picture, format)) && ok;
    const auto bmp = formats::writeBmp(picture);
    ok = bmp && save(out + QStringLiteral("/picture"), QStringLiteral("picture.bmp"), *bmp.value) && ok;

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
