#include "formats/ProfileText.h"
#include "formats/WineRegistryFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

using namespace glyphary::formats;

namespace {

constexpr std::uint64_t kTime = 0x1d9a1b2c3d4e5f6ull; // a FILETIME in 2023

ByteVector bytesOf(std::string_view text) { return ByteVector(text.begin(), text.end()); }
std::string textOf(const ByteVector& bytes) { return std::string(bytes.begin(), bytes.end()); }

ByteVector utf16z(std::u16string_view text)
{
    ByteVector out;
    for (const char16_t unit : text)
        putU16le(out, unit);
    putU16le(out, 0);
    return out;
}

WineRegistryParse parse(std::string_view text) { return parseWineRegistry(bytesOf(text)); }

// A key line's seconds and the "#time=" line after it, for a change at kTime.
const std::string kSeconds = " " + std::to_string((kTime - kFileTimeUnixEpoch) / kFileTimeTicksPerSecond);
const std::string kStamp = kSeconds + "\n#time=1d9a1b2c3d4e5f6\n";

// As Wine 8 writes it, plus a few things people add by hand.
constexpr std::string_view kWineHive =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n"
    "\n"
    "#arch=win32\n"
    "\n"
    "[Control Panel\\\\Cursors] 1700000000\n"
    "#time=1da1b2c3d4e5f60\n"
    "@=\"Windows Default\"\n"
    "\"Arrow\"=str(2):\"%SystemRoot%\\\\cursors\\\\arrow.cur\"\n"
    "\"Scheme Source\"=dword:00000002\n"
    "\n"
    "[Software\\\\Wine\\\\Fonts] 1700000001\n"
    "#time=1da1b2c3d4e5f61\n"
    "#class=\"Font \\\"class\\\"\"\n"
    "; a comment someone wrote\n"
    "\"sz\"=\"a\\\"b\\\\c \\xe9\\x20ac tab\"\n"
    "\"multi\"=str(7):\"one\\0two\\0\"\n"
    "\"qw\"=hex(b):01,00,00,00,00,00,00,00\n"
    "\"bin\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\n"
    "  17,18,19\n"
    "\"odd\"   =   hex(2a):ff\n"
    "\n"
    "[Software\\\\Wine\\\\Link] 1700000002\n"
    "#link\n"
    "\"SymbolicLinkValue\"=hex(6):5c,00\n";

} // namespace

TEST(WineRegistryRead, DecodesEveryValueForm)
{
    const auto parsed = parse(kWineHive);
    ASSERT_TRUE(parsed.complete);
    const WineRegistryDocument& doc = parsed.document;
    const std::u16string cursors = u"Control Panel\\Cursors";
    const std::u16string fonts = u"Software\\Wine\\Fonts";
    ByteVector counting(26);
    std::iota(counting.begin(), counting.end(), std::uint8_t{0});
    const std::vector<std::tuple<std::u16string, WineRegistryValue>> expected = {
        {cursors, {u"", 1, utf16z(u"Windows Default")}},
        {cursors, {u"Arrow", 2, utf16z(u"%SystemRoot%\\cursors\\arrow.cur")}},
        {cursors, {u"Scheme Source", 4, {2, 0, 0, 0}}},
        {fonts, {u"sz", 1, utf16z(u"a\"b\\c \u00e9\u20ac tab")}},
        {fonts, {u"multi", 7, utf16z(std::u16string(u"one\0two\0", 8))}},
        {fonts, {u"qw", 11, {1, 0, 0, 0, 0, 0, 0, 0}}},
        {fonts, {u"bin", 3, counting}}, // across a continuation line
        {fonts, {u"odd", 0x2a, {0xff}}},
    };
    for (const auto& [key, value] : expected) {
        const WineRegistryValue* read = doc.findValue(key, value.name);
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(*read, value);
    }
    EXPECT_EQ(doc.keyClass(fonts), std::u16string(u"Font \"class\""));
    EXPECT_EQ(doc.lastWriteTime(fonts), 0x1da1b2c3d4e5f61ull);
    EXPECT_TRUE(doc.isLink(u"Software\\Wine\\Link"));
    EXPECT_FALSE(doc.isLink(fonts));
}

TEST(WineRegistryRead, ReadsEscapesAndRawUtf8)
{
    const auto parsed = parse("WINE REGISTRY Version 2\n[K]\n"
                              "\"c\"=\"\\a\\b\\t\\n\\v\\f\\r\\e\"\n"
                              "\"octal\"=\"\\101\\0012\\7\"\n"
                              "\"hex\"=\"\\x41\\x\\x12345\"\n"
                              "\"other\"=\"\\q\\[\"\n"
                              "\"utf8\"=\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\"\n");
    ASSERT_TRUE(parsed.complete);
    const auto& doc = parsed.document;
    EXPECT_EQ(doc.findValue(u"K", u"c")->data, utf16z(u"\a\b\t\n\v\f\r\x1b"));
    EXPECT_EQ(doc.findValue(u"K", u"octal")->data, utf16z(u"A\x01" u"2\a"));
    EXPECT_EQ(doc.findValue(u"K", u"hex")->data, utf16z(u"Ax\u12345"));
    EXPECT_EQ(doc.findValue(u"K", u"other")->data, utf16z(u"q["));
    EXPECT_EQ(doc.findValue(u"K", u"utf8")->data, utf16z(u"\u00e9\u20ac\U0001F600"));
}

TEST(WineRegistryRead, KeysAreImpliedByTheirSubkeysAndListedInFileOrder)
{
    const auto parsed = parse("WINE REGISTRY Version 2\n"
                              "[Software\\\\Zeta\\\\One]\n"
                              "[Software\\\\Alpha]\n"
                              "[software\\\\zeta\\\\Two]\n");
    ASSERT_TRUE(parsed.complete);
    const auto& doc = parsed.document;
    EXPECT_TRUE(doc.keyExists(u""));
    EXPECT_TRUE(doc.keyExists(u"SOFTWARE\\zeta"));
    EXPECT_FALSE(doc.keyExists(u"Software\\Beta"));
    ASSERT_EQ(doc.subkeyCount(u"Software"), 2u);
    EXPECT_EQ(*doc.subkeyName(u"Software", 0), u"Zeta");
    EXPECT_EQ(*doc.subkeyName(u"Software", 1), u"Alpha");
    EXPECT_EQ(doc.subkeyName(u"Software", 2), nullptr);
    EXPECT_EQ(*doc.subkeyName(u"Software\\Zeta", 1), u"Two");
    EXPECT_EQ(doc.storedPath(u"SOFTWARE\\ZETA\\two\\New"), u"Software\\Zeta\\Two\\New");
}

TEST(WineRegistryBroken, ABadLineIsReportedTheRestKeptAndAllWrittenBackUnchanged)
{
    using enum WineRegistryProblemKind;
    const std::pair<std::string, WineRegistryProblemKind> lines[] = {
        {"\"s\"=\"abc\n", MalformedValue},          // unclosed string
        {"\"s\" \"abc\"\n", MalformedValue},        // no equals sign
        {"\"s\"=text:\"abc\"\n", MalformedValue},   // unknown tag
        {"\"s\"=\"abc\" x\n", MalformedValue},      // junk after the string
        {"\"d\"=dword:123456789\n", MalformedValue},
        {"\"h\"=hex:0g\n", MalformedValue},
        {"\"h\"=hex:00,\\\n", MalformedValue},       // continued past the end
        {"\"s\"=\"\xe9t\xe9\"\n", MalformedValue},  // not UTF-8
        {std::string("\"s\"=\"a\0b\"\n", 10), MalformedValue},
        {"\"Path\"=\"C:\\\\Prog", MalformedValue},  // cut mid-line
        {"[Software\\\\X\n", MalformedKey},
        {"[Software] 12 x\n", MalformedKey},
        {"[" + std::string(256, 'k') + "]\n", MalformedKey},
        {"#time=xyz\n", MalformedOption},
        {"#class=nope\n", MalformedOption},
        {"garbage\n", UnrecognizedLine},
    };
    for (const auto& [line, kind] : lines) {
        SCOPED_TRACE(line);
        const std::string text = "WINE REGISTRY Version 2\n[Keep]\n\"v\"=dword:00000001\n" + line;
        const auto parsed = parse(text);
        EXPECT_FALSE(parsed.complete);
        ASSERT_FALSE(parsed.problems.empty());
        EXPECT_EQ(parsed.problems.front(), (WineRegistryProblem{kind, 4}));
        const auto* kept = parsed.document.findValue(u"Keep", u"v");
        ASSERT_NE(kept, nullptr);
        EXPECT_EQ(kept->data, (ByteVector{1, 0, 0, 0}));
        EXPECT_EQ(textOf(parsed.document.serialize()), text);
    }
}

TEST(WineRegistryBrokenAnywhere, CutsAndFlippedBytesReadWithoutHarmAndWriteBackUnchanged)
{
    const std::string whole(kWineHive);
    std::vector<std::string> inputs;
    for (std::size_t cut = 0; cut < whole.size(); ++cut)
        inputs.push_back(whole.substr(0, cut));
    for (std::size_t at = 0; at < whole.size(); at += 3) {
        for (const char flip : {'\0', '\\', '"', '\n', '[', '\xff'}) {
            std::string changed = whole;
            changed[at] = flip;
            inputs.push_back(changed);
        }
    }
    for (const std::string& input : inputs) {
        auto parsed = parse(input);
        ASSERT_EQ(textOf(parsed.document.serialize()), input);
        if (!parsed.complete || !parsed.document.hasHeader())
            continue;
        // Complete documents stay complete after a change.
        parsed.document.setValue(u"Software\\Wine\\Fonts", {u"new", 4, {1, 2, 3, 4}}, kTime);
        const auto reread = parse(textOf(parsed.document.serialize()));
        ASSERT_TRUE(reread.complete) << input;
        EXPECT_EQ(reread.document.findValue(u"Software\\Wine\\Fonts", u"new")->data, (ByteVector{1, 2, 3, 4}));
    }
}

TEST(WineRegistryBrokenPreamble, RefusesOtherFilesAndUnknownArchitecturesButTakesAnEmptyFile)
{
    const auto empty = parseWineRegistry({});
    EXPECT_TRUE(empty.complete);
    EXPECT_FALSE(empty.document.hasHeader());
    EXPECT_EQ(empty.document.subkeyCount(u""), 0u);
    EXPECT_TRUE(empty.document.serialize().empty());

    const auto notHive = parse("REGEDIT4\n[HKEY_CURRENT_USER\\Software]\n");
    EXPECT_FALSE(notHive.complete);
    EXPECT_EQ(notHive.problems.front().kind, WineRegistryProblemKind::NotARegistryFile);
    EXPECT_FALSE(notHive.document.keyExists(u"HKEY_CURRENT_USER"));

    const std::string arch = "WINE REGISTRY Version 2\n#arch=arm\n[Software]\n\"v\"=\"x\"\n";
    const auto unknownArch = parse(arch);
    EXPECT_FALSE(unknownArch.complete);
    EXPECT_EQ(unknownArch.problems.front(), (WineRegistryProblem{WineRegistryProblemKind::UnknownArchitecture, 2}));
    EXPECT_FALSE(unknownArch.document.keyExists(u"Software"));
    EXPECT_EQ(textOf(unknownArch.document.serialize()), arch);

    const auto orphan = parse("WINE REGISTRY Version 2\n\"v\"=\"x\"\n");
    EXPECT_EQ(orphan.problems.front(), (WineRegistryProblem{WineRegistryProblemKind::ValueWithoutKey, 2}));
    EXPECT_EQ(describe(orphan.problems.front()), "line 2: value without key");
}

TEST(WineRegistryLimits, CapsInputSizeAndKeyDepth)
{
    ByteVector huge(kMaxWineRegistryBytes + 1, ' ');
    const auto tooLarge = parseWineRegistry(huge);
    EXPECT_FALSE(tooLarge.complete);
    EXPECT_EQ(tooLarge.problems.front().kind, WineRegistryProblemKind::TooLarge);

    std::string deep;
    for (int i = 0; i < 512; ++i)
        deep += i ? "\\\\k" : "k";
    EXPECT_TRUE(parse("WINE REGISTRY Version 2\n[" + deep + "]\n").complete);
    EXPECT_FALSE(parse("WINE REGISTRY Version 2\n[" + deep + "\\\\k]\n").complete);
    EXPECT_TRUE(parse("WINE REGISTRY Version 2\n[" + std::string(255, 'k') + "]\n").complete);

    const WineRegistryLimits small{1000, 3, 2};
    const std::string keys = "WINE REGISTRY Version 2\n[A\\\\B]\n[C]\n[D]\n";
    const auto tooManyKeys = parseWineRegistry(bytesOf(keys), small);
    EXPECT_EQ(tooManyKeys.problems, (std::vector<WineRegistryProblem>{{WineRegistryProblemKind::TooLarge, 3}}));
    EXPECT_TRUE(tooManyKeys.document.keyExists(u"A\\B"));
    EXPECT_EQ(textOf(tooManyKeys.document.serialize()), keys);

    const std::string values = "WINE REGISTRY Version 2\n[A]\n\"1\"=\"\"\n\"1\"=\"\"\n\"2\"=hex:00,\\\n  01\n\"3\"=\"\"\n";
    const auto tooManyValues = parseWineRegistry(bytesOf(values), small);
    EXPECT_EQ(tooManyValues.problems, (std::vector<WineRegistryProblem>{{WineRegistryProblemKind::TooLarge, 5}}));
    EXPECT_EQ(tooManyValues.document.values(u"A").size(), 1u);
    EXPECT_EQ(textOf(tooManyValues.document.serialize()), values);
    EXPECT_EQ(parseWineRegistry(bytesOf(values), {40, 3, 2}).problems.front().kind, WineRegistryProblemKind::TooLarge);

    std::string manyProblems = "WINE REGISTRY Version 2\n";
    for (int i = 0; i < 1000; ++i)
        manyProblems += "?\n";
    EXPECT_EQ(parse(manyProblems).problems.size(), kMaxReportedProblems);
}

TEST(WineRegistryWrite, UnchangedDocumentIsWrittenBackByteForByte)
{
    const std::string odd = std::string(kWineHive) + "  [Spaced] 5  \r\n  \"x\" = dword:1\r\n;tail without newline";
    const auto parsed = parse(odd);
    ASSERT_TRUE(parsed.complete);
    EXPECT_EQ(textOf(parsed.document.serialize()), odd);
}

TEST(WineRegistryWrite, ChangingOneValueLeavesEveryOtherLineAloneAndNamesKeepTheirStoredCase)
{
    auto doc = std::move(parse(kWineHive).document);
    EXPECT_FALSE(doc.setValue(u"SOFTWARE\\WINE\\fonts", {u"Qw", 11, {1, 0, 0, 0, 0, 0, 0, 0}}, kTime)); // the same data
    ASSERT_TRUE(doc.setValue(u"software\\wine\\FONTS", {u"QW", 11, {2, 0, 0, 0, 0, 0, 0, 0}}, kTime));

    std::string expected(kWineHive);
    const auto replace = [&](std::string_view from, std::string_view to) {
        const auto at = expected.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        expected.replace(at, from.size(), to);
    };
    replace("[Software\\\\Wine\\\\Fonts] 1700000001\n#time=1da1b2c3d4e5f61\n",
            "[Software\\\\Wine\\\\Fonts]" + kStamp);
    replace("\"qw\"=hex(b):01,", "\"qw\"=hex(b):02,");
    EXPECT_EQ(textOf(doc.serialize()), expected);
    EXPECT_EQ(doc.findValue(u"Software\\Wine\\Fonts", u"qw")->name, u"qw");
    EXPECT_TRUE(registryNamesEqual(u"\u00c9t\u00e9", u"\u00e9T\u00c9"));
    EXPECT_FALSE(registryNamesEqual(u"ab", u"abc"));
}

TEST(WineRegistryWrite, WritesEveryTypeInWinesStyleAndReadsItBack)
{
    auto doc = WineRegistryDocument::createNew("REGISTRY\\\\Machine", "win32");
    ByteVector longBinary;
    for (int i = 0; i < 60; ++i)
        longBinary.push_back(static_cast<std::uint8_t>(i));
    const std::vector<WineRegistryValue> values = {
        {u"", 1, utf16z(u"default")},
        {u"sz", 1, utf16z(u"a\"b\\c \u00e9\u20ac tab\u00e9f\x01" u"7\x1b")},
        {u"ex", 2, utf16z(u"%SystemRoot%\\x")},
        {u"multi", 7, utf16z(std::u16string(u"one\0two\0", 8))},
        {u"dw", 4, {0x78, 0x56, 0x34, 0x12}},
        {u"bin", 3, longBinary},
        {u"empty", 3, {}},
        {u"qw", 11, {1, 0, 0, 0, 0, 0, 0, 0}},
        {u"unterminated", 1, {0x41, 0x00}},
        {u"shortDword", 4, {1, 2}},
        {u"quote\"name", 0x2a, {0xff}},
    };
    for (const auto& value : values)
        doc.setValue(u"Software\\[Odd]", value, kTime);

    const std::string text = textOf(doc.serialize());
    const std::string expected =
        "WINE REGISTRY Version 2\n"
        ";; All keys relative to REGISTRY\\\\Machine\n"
        "\n"
        "#arch=win32\n"
        "\n"
        "[Software\\\\\\[Odd\\]]" + kStamp +
        "@=\"default\"\n"
        "\"sz\"=\"a\\\"b\\\\c \\xe9\\x20ac tab\\x00e9f\\0017\\e\"\n"
        "\"ex\"=str(2):\"%SystemRoot%\\\\x\"\n"
        "\"multi\"=str(7):\"one\\0two\\0\"\n"
        "\"dw\"=dword:12345678\n"
        "\"bin\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\n"
        "  17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,2f,\\\n"
        "  30,31,32,33,34,35,36,37,38,39,3a,3b\n"
        "\"empty\"=hex:\n"
        "\"qw\"=hex(b):01,00,00,00,00,00,00,00\n"
        "\"unterminated\"=hex(1):41,00\n"
        "\"shortDword\"=hex(4):01,02\n"
        "\"quote\\\"name\"=hex(2a):ff\n";
    EXPECT_EQ(text, expected);

    const auto reread = parse(text);
    ASSERT_TRUE(reread.complete);
    const auto readValues = reread.document.values(u"Software\\[Odd]");
    ASSERT_EQ(readValues.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(readValues[i], values[i]) << i;
}

TEST(WineRegistryWrite, NewKeysGetOneLineAndTheirParentsStayImpliedWithinWindowsLimits)
{
    auto doc = WineRegistryDocument::createNew("REGISTRY\\\\Machine", "win32");
    EXPECT_TRUE(doc.createKey(u"Software\\Glyphary", kTime));
    EXPECT_TRUE(doc.createKey(u"Software\\Glyphary\\Settings", kTime));
    EXPECT_FALSE(doc.createKey(u"software\\glyphary", kTime));
    EXPECT_FALSE(doc.createKey(u"", kTime));
    EXPECT_FALSE(doc.createKey(std::u16string(256, u'k'), kTime));
    EXPECT_FALSE(doc.setValue(u"K", {std::u16string(kMaxValueNameUnits + 1, u'n'), 4, {}}, kTime));
    const std::string header = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win32\n\n";
    EXPECT_EQ(textOf(doc.serialize()), header + "[Software\\\\Glyphary\\\\Settings]" + kStamp);
    EXPECT_TRUE(doc.keyExists(u"Software\\Glyphary"));

    // Removing the only subkey leaves the parent, now with a line of its own.
    EXPECT_TRUE(doc.removeTree(u"SOFTWARE\\Glyphary\\settings", kTime));
    EXPECT_TRUE(doc.keyExists(u"Software\\Glyphary"));
    EXPECT_FALSE(doc.keyExists(u"Software\\Glyphary\\Settings"));
    EXPECT_EQ(textOf(doc.serialize()), header + "[Software\\\\Glyphary]" + kStamp);
    EXPECT_FALSE(doc.removeTree(u"", kTime));
    EXPECT_FALSE(doc.removeTree(u"Missing", kTime));

    // A key of ours that loses its last value while it has subkeys is implied again.
    doc.setValue(u"Software\\Glyphary", {u"v", 4, {1, 0, 0, 0}}, kTime);
    doc.createKey(u"Software\\Glyphary\\Pos", kTime);
    EXPECT_TRUE(doc.removeValue(u"Software\\Glyphary", u"v", kTime));
    EXPECT_EQ(textOf(doc.serialize()), header + "[Software\\\\Glyphary\\\\Pos]" + kStamp);
}

TEST(WineRegistryWrite, EditsTouchOnlyTheirSections)
{
    const struct {
        const char* what;
        std::string before;
        std::function<void(WineRegistryDocument&)> edit;
        std::string after;
    } cases[] = {
        {"values added after the last one, removed ones gone",
            "WINE REGISTRY Version 2\r\n\r\n[A] 1\r\n\"one\"=\"1\"\r\n;note\r\n\"two\"=\"2\"\r\n\r\n[B] 2\r\n",
            [](WineRegistryDocument& doc) {
                doc.setValue(u"A", {u"three", 4, {3, 0, 0, 0}}, kTime);
                EXPECT_TRUE(doc.removeValue(u"a", u"ONE", kTime));
                EXPECT_FALSE(doc.removeValue(u"a", u"missing", kTime));
            },
            "WINE REGISTRY Version 2\r\n\r\n[A]" + kSeconds + "\r\n#time=1d9a1b2c3d4e5f6\r\n" + ";note\r\n\"two\"=\"2\"\r\n\"three\"=dword:00000003\r\n\r\n[B] 2\r\n"},
        {"a tree removed from every section, its parent kept",
            "WINE REGISTRY Version 2\n\n[A\\\\B] 1\n\"x\"=\"1\"\n\n[C] 2\n\n[A\\\\B\\\\D] 3\n\n[a\\\\b] 4\n\"y\"=\"2\"\n",
            [](WineRegistryDocument& doc) {
                EXPECT_EQ(doc.values(u"A\\B").size(), 2u); // both sections are one key
                EXPECT_TRUE(doc.removeTree(u"A\\B", kTime));
            },
            "WINE REGISTRY Version 2\n\n[C] 2\n\n[A]" + kStamp},
        {"repeated sections keep their place",
            "WINE REGISTRY Version 2\n[K] 1\n\"a\"=\"1\"\n[Other] 2\n[k] 3\n\"b\"=\"2\"\n\"A\"=\"3\"\n",
            [](WineRegistryDocument& doc) {
                EXPECT_EQ(doc.findValue(u"K", u"a")->data, utf16z(u"3"));
                doc.setValue(u"K", {u"b", 1, utf16z(u"changed")}, kTime);
            },
            "WINE REGISTRY Version 2\n[K]" + kStamp + "\"A\"=\"3\"\n[Other] 2\n[k] 3\n\"b\"=\"changed\"\n"},
        {"a key appended after a last line without line end", "WINE REGISTRY Version 2\n[A] 1\n;last",
            [](WineRegistryDocument& doc) { doc.setValue(u"B", {u"v", 4, {0, 0, 0, 0}}, kTime); },
            "WINE REGISTRY Version 2\n[A] 1\n;last\n\n[B]" + kStamp + "\"v\"=dword:00000000\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto doc = std::move(parse(c.before).document);
        c.edit(doc);
        EXPECT_EQ(textOf(doc.serialize()), c.after);
    }
}

namespace {

struct ReadCase {
    const char* name;
    std::string text;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

TEST(ProfileText, ReadsWithTheProfileRules)
{
    const ReadCase cases[] = {
        {"plain", "[.ShellClassInfo]\r\nIconFile=C:\\a.ico\r\n", ".ShellClassInfo", "IconFile", "C:\\a.ico"},
        {"names ignore case and blanks", "[ .shellclassinfo ]\n  iconfile  =  x.ico  \n", ".ShellClassInfo", "IconFile", "x.ico"},
        {"quotes stripped", "[s]\nk=\"a b\"\n", "s", "k", "a b"},
        {"other section", "[t]\nk=1\n[s]\nj=2\n", "s", "k", std::nullopt},
        {"comment is no key", "[s]\n;k=1\n", "s", "k", std::nullopt},
        {"key without equals", "[s]\nk\n", "s", "k", ""},
        {"first of two wins", "[s]\nk=1\nk=2\n", "s", "k", "1"},
        {"missing", "", "s", "k", std::nullopt},
        {"text stops at NUL", std::string("[s]\nj=1\n\0k=2\n", 13), "s", "k", std::nullopt},
        {"garbage before", std::string("\xff\xfe junk\n[s]\nk=v", 17), "s", "k", "v"},
    };
    for (const ReadCase& c : cases)
        EXPECT_EQ(profileValue(bytesOf(c.text), c.section, c.key), c.expected) << c.name;
}

struct WriteCase {
    const char* name;
    std::string before;
    std::optional<std::string> value;
    std::string after;
};

TEST(ProfileText, WritesOnlyTheKeysLine)
{
    const WriteCase cases[] = {
        {"new file", "", "v", "[s]\r\nk=v\r\n"},
        {"replaced in place, spelling kept", "; top\r\n[S]\r\n K =old\r\nz=1\r\n", "new", "; top\r\n[S]\r\nK=new\r\nz=1\r\n"},
        {"added after the section's last line", "[s]\na=1\n\n[t]\nb=2\n", "v", "[s]\na=1\nk=v\n\n[t]\nb=2\n"},
        {"section appended", "[t]\nb=2", "v", "[t]\nb=2\n[s]\nk=v\n"},
        {"removed", "[s]\r\nk=1\r\nz=2\r\n", std::nullopt, "[s]\r\nz=2\r\n"},
        {"removing a missing key changes nothing", "[t]\nk=1\n", std::nullopt, "[t]\nk=1\n"},
        {"tail after NUL kept", std::string("[t]\n\0\x01\x02", 7), "v", std::string("[t]\n[s]\nk=v\n\0\x01\x02", 15)},
        {"section header without newline", "[s]", "v", "[s]\r\nk=v\r\n"},
    };
    for (const WriteCase& c : cases)
        EXPECT_EQ(textOf(withProfileValue(bytesOf(c.before), "s", "k", c.value)), c.after) << c.name;
}

TEST(ProfileText, WrittenValueReadsBack)
{
    ByteVector text = bytesOf("[.ShellClassInfo]\r\nInfoTip=keep\r\n[Other]\r\nIconFile=elsewhere\r\n");
    text = withProfileValue(text, ".ShellClassInfo", "IconFile", "C:\\Icons\\1.ico");
    text = withProfileValue(text, ".ShellClassInfo", "IconIndex", "0");
    EXPECT_EQ(profileValue(text, ".shellclassinfo", "iconfile"), "C:\\Icons\\1.ico");
    EXPECT_EQ(profileValue(text, ".ShellClassInfo", "IconIndex"), "0");
    EXPECT_EQ(profileValue(text, "Other", "IconFile"), "elsewhere");
    EXPECT_EQ(profileValue(text, ".ShellClassInfo", "InfoTip"), "keep");
}

} // namespace
