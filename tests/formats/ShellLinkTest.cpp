#include "formats/ShellLink.h"

#include "support/ShellLinkBytes.h"

#include <gtest/gtest.h>

using namespace glyphary::formats;
using namespace glyphary::testing;

namespace {

ShellLinkFields fieldsOf(const ByteVector& bytes)
{
    const auto fields = readShellLink(bytes);
    EXPECT_TRUE(fields.has_value());
    return fields.value_or(ShellLinkFields{});
}

// A shortcut as Windows writes one: ID list, LinkInfo, several strings, a tracker block.
LinkParts windowsStyle()
{
    LinkParts parts;
    parts.idList = idListItems("C:\\WINDOWS\\NOTEPAD.EXE");
    parts.linkInfo = linkInfoBytes("C:\\WINDOWS\\NOTEPAD.EXE");
    parts.name = u"Edits text";
    parts.relativePath = u"..\\NOTEPAD.EXE";
    parts.workingDir = u"C:\\WINDOWS";
    parts.arguments = u"/p readme.txt";
    parts.iconLocation = u"C:\\WINDOWS\\SYSTEM\\SHELL32.DLL";
    parts.iconIndex = 7;
    parts.showCommand = 3;
    ByteVector tracker(0x58);
    for (std::size_t i = 0; i < tracker.size(); ++i)
        tracker[i] = static_cast<std::uint8_t>(i * 37 + 5);
    parts.extraBlocks = {extraBlock(kTrackerBlock, tracker)};
    return parts;
}

TEST(ShellLinkRead, TakesTheTargetFromLinkInfoThenIdListThenRelativePath)
{
    const ShellLinkFields full = fieldsOf(linkBytes(windowsStyle()));
    EXPECT_EQ(full.exeFile, u"C:\\WINDOWS\\NOTEPAD.EXE");
    EXPECT_EQ(full.workDir, u"C:\\WINDOWS");
    EXPECT_EQ(full.exeArgs, u"/p readme.txt");
    EXPECT_EQ(full.iconFile, u"C:\\WINDOWS\\SYSTEM\\SHELL32.DLL");
    EXPECT_EQ(full.iconIndex, 7);
    EXPECT_EQ(full.showCmd, 3);
    EXPECT_FALSE(full.exeFileRelative);

    LinkParts ansiIdListOnly = windowsStyle();
    ansiIdListOnly.unicode = false;
    ansiIdListOnly.linkInfo.reset();
    ansiIdListOnly.idList = idListItems("C:\\Program Files\\Paint\\PAINT.EXE");
    ansiIdListOnly.iconLocation = u"C:\\Program Files\\Paint\\caf\u00e9.ico";
    const ShellLinkFields ansi = fieldsOf(linkBytes(ansiIdListOnly));
    EXPECT_EQ(ansi.exeFile, u"C:\\Program Files\\Paint\\PAINT.EXE");
    EXPECT_EQ(ansi.iconFile, u"C:\\Program Files\\Paint\\caf\u00e9.ico"); // Windows-1252 0xE9
    EXPECT_EQ(ansi.exeArgs, u"/p readme.txt");

    LinkParts relativeOnly = windowsStyle();
    relativeOnly.idList.reset();
    relativeOnly.linkInfo.reset();
    const ShellLinkFields relative = fieldsOf(linkBytes(relativeOnly));
    EXPECT_EQ(relative.exeFile, u"..\\NOTEPAD.EXE");
    EXPECT_TRUE(relative.exeFileRelative);

    // An environment block names the target when nothing else does.
    LinkParts environment = relativeOnly;
    environment.relativePath.reset();
    environment.moreFlags = shell_link_flag::kHasExpString;
    environment.extraBlocks.push_back(pathBlock(kEnvironmentBlock, u"%windir%\\notepad.exe"));
    EXPECT_EQ(fieldsOf(linkBytes(environment)).exeFile, u"%windir%\\notepad.exe");
}

TEST(ShellLinkRead, UnicodeLinkInfoSuffixesAndWinesTrailingNuls)
{
    LinkParts parts;
    parts.linkInfo = linkInfoBytes("C:\\Dokumente\\?.exe", "", u"C:\\Dokumente\\\u65e5\u672c.exe");
    parts.workingDir = u"C:\\Dokumente";
    parts.nulInCounts = true;
    const ShellLinkFields unicode = fieldsOf(linkBytes(parts));
    EXPECT_EQ(unicode.exeFile, u"C:\\Dokumente\\\u65e5\u672c.exe");
    EXPECT_EQ(unicode.workDir, u"C:\\Dokumente");
    EXPECT_EQ(unicode.iconFile, u"");
    EXPECT_EQ(unicode.iconIndex, 0);

    LinkParts suffixed;
    suffixed.linkInfo = linkInfoBytes("C:\\WINDOWS\\", "CALC.EXE");
    EXPECT_EQ(fieldsOf(linkBytes(suffixed)).exeFile, u"C:\\WINDOWS\\CALC.EXE");

    // The icon environment block stands in for a missing icon location.
    LinkParts expIcon = suffixed;
    expIcon.moreFlags = shell_link_flag::kHasExpIcon;
    expIcon.extraBlocks = {pathBlock(kIconEnvironmentBlock, u"%SystemRoot%\\system32\\shell32.dll")};
    expIcon.iconIndex = -154;
    const ShellLinkFields icon = fieldsOf(linkBytes(expIcon));
    EXPECT_EQ(icon.iconFile, u"%SystemRoot%\\system32\\shell32.dll");
    EXPECT_EQ(icon.iconIndex, -154);

    LinkParts oddShow = suffixed;
    oddShow.showCommand = 5;
    EXPECT_EQ(fieldsOf(linkBytes(oddShow)).showCmd, 1);
}

TEST(ShellLinkWrite, RoundTripsEveryFieldInTheMinimalLayout)
{
    for (const std::int32_t show : {1, 3, 7}) {
        const ShellLinkFields fields{u"C:\\windows\\notepad.exe", u"C:\\windows", u"\"C:\\My Files\\a.txt\"",
                                     u"C:\\windows\\system\\shell32.dll", -3, show};
        const ByteVector bytes = writeShellLink(fields);
        EXPECT_EQ(readShellLink(bytes), fields);

        // The layout every reader resolves: header flags 0xF2, a 69-byte LinkInfo with the path at 0x2D.
        const ByteReader in(bytes);
        EXPECT_EQ(in.u32le(0x14), 0xF2u);
        EXPECT_EQ(in.u32le(0x4C), 69u);
        EXPECT_EQ(in.u32le(0x4C + 16), 0x2Du);
        EXPECT_EQ(in.ascii(0x4C + 0x2D, 23), std::string("C:\\windows\\notepad.exe", 22) + '\0');
        EXPECT_EQ(in.u32le(bytes.size() - 4), 0u);
    }

    // Empty texts are left out rather than stored with no characters.
    ShellLinkFields wide;
    wide.exeFile = u"C:\\\u65e5\u672c\\tool.exe";
    const ByteVector wideBytes = writeShellLink(wide);
    EXPECT_EQ(readShellLink(wideBytes), wide);
    EXPECT_EQ(ByteReader(wideBytes).u32le(0x14), 0x82u); // HasLinkInfo | IsUnicode

    ShellLinkFields relative;
    relative.exeFile = u"tools\\run.bat";
    relative.exeFileRelative = true;
    EXPECT_EQ(readShellLink(writeShellLink(relative)), relative);
}

TEST(ShellLinkReplaceIcon, KeepsEveryOtherByte)
{
    LinkParts parts = windowsStyle();
    parts.moreFlags = shell_link_flag::kHasExpIcon;
    parts.extraBlocks.push_back(pathBlock(kIconEnvironmentBlock, u"%SystemRoot%\\old.ico"));
    const ByteVector original = linkBytes(parts);
    const auto replaced = replaceShellLinkIcon(original, u"C:\\Icons\\new.ico", 4);
    ASSERT_TRUE(replaced.has_value());

    LinkParts expected = parts;
    expected.iconLocation = u"C:\\Icons\\new.ico";
    expected.iconIndex = 4;
    expected.moreFlags = 0; // the old icon's environment block would win over the new location
    EXPECT_EQ(*replaced, linkBytes(expected));
    const ShellLinkFields read = fieldsOf(*replaced);
    EXPECT_EQ(read.iconFile, u"C:\\Icons\\new.ico");
    EXPECT_EQ(read.exeFile, u"C:\\WINDOWS\\NOTEPAD.EXE");

    // An ANSI shortcut without an icon gets one; a name it cannot hold is refused.
    LinkParts ansi = windowsStyle();
    ansi.unicode = false;
    ansi.iconLocation.reset();
    const auto added = replaceShellLinkIcon(linkBytes(ansi), u"C:\\x.ico", 0);
    ASSERT_TRUE(added.has_value());
    LinkParts ansiExpected = ansi;
    ansiExpected.iconLocation = u"C:\\x.ico";
    ansiExpected.iconIndex = 0;
    EXPECT_EQ(*added, linkBytes(ansiExpected));
    EXPECT_FALSE(replaceShellLinkIcon(linkBytes(ansi), u"C:\\\u65e5.ico", 0).has_value());
}

TEST(ShellLinkHostile, NeverReadsPastTheEndAndKeepsWhatCameBefore)
{
    EXPECT_FALSE(readShellLink(ByteVector{}).has_value());
    ByteVector wrongSize = linkBytes(windowsStyle());
    wrongSize[0] = 0x4D;
    EXPECT_FALSE(readShellLink(wrongSize).has_value());
    ByteVector wrongClass = linkBytes(windowsStyle());
    wrongClass[5] ^= 0xFF;
    EXPECT_FALSE(readShellLink(wrongClass).has_value());

    // From the whole header on, something comes back.
    const ByteVector full = linkBytes(windowsStyle());
    EXPECT_FALSE(readShellLink(Bytes(full).first(0x4B)).has_value());
    EXPECT_TRUE(readShellLink(Bytes(full).first(0x4C)).has_value());

    // A string count past the end: the target and the strings before it stay.
    LinkParts longArguments = windowsStyle();
    longArguments.idList.reset();
    ByteVector bytes = linkBytes(longArguments);
    const std::size_t argumentsAt = 0x4C + longArguments.linkInfo->size() + 2 + 2 * 10 + 2 + 2 * 14 + 2 + 2 * 10;
    setU16le(bytes, argumentsAt, 0xFFFF);
    const ShellLinkFields partial = fieldsOf(bytes);
    EXPECT_EQ(partial.exeFile, u"C:\\WINDOWS\\NOTEPAD.EXE");
    EXPECT_EQ(partial.workDir, u"C:\\WINDOWS");
    EXPECT_EQ(partial.exeArgs, u"");
    EXPECT_EQ(partial.iconFile, u"");
    EXPECT_EQ(partial.iconIndex, 7);

    // LinkInfo offsets outside it: the other fields stay.
    LinkParts badOffsets = windowsStyle();
    badOffsets.idList.reset();
    setU32le(*badOffsets.linkInfo, 16, 0x7FFFFFFF);
    setU32le(*badOffsets.linkInfo, 24, 0x7FFFFFFF);
    EXPECT_EQ(fieldsOf(linkBytes(badOffsets)).exeFile, u"..\\NOTEPAD.EXE");
    EXPECT_EQ(fieldsOf(linkBytes(badOffsets)).iconFile, u"C:\\WINDOWS\\SYSTEM\\SHELL32.DLL");

    // Extra data: a zero-size block, one past the end, and endless small ones all end the walk.
    for (const ByteVector& block : {ByteVector{4, 0, 0, 0, 7, 0, 0, 0}, extraBlock(kIconEnvironmentBlock, ByteVector(2000)),
                                    ByteVector{0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0xA0}}) {
        LinkParts odd = windowsStyle();
        odd.extraBlocks = {block};
        odd.terminalBlock = false;
        EXPECT_EQ(fieldsOf(linkBytes(odd)).iconFile, u"C:\\WINDOWS\\SYSTEM\\SHELL32.DLL");
    }
    LinkParts many = windowsStyle();
    many.moreFlags = shell_link_flag::kHasExpIcon;
    many.iconLocation.reset();
    many.extraBlocks.assign(kMaxShellLinkExtraBlocks, extraBlock(kTrackerBlock, {}));
    many.extraBlocks.push_back(pathBlock(kIconEnvironmentBlock, u"C:\\late.ico"));
    EXPECT_EQ(fieldsOf(linkBytes(many)).iconFile, u""); // the walk stops at the cap

    ByteVector huge(kMaxShellLinkBytes + 1, 0);
    std::copy(full.begin(), full.end(), huge.begin());
    EXPECT_FALSE(readShellLink(huge).has_value());
}

} // namespace
