#include "formats/ProfileText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace glyphary::formats;

namespace {

ByteVector bytesOf(std::string_view text) { return ByteVector(text.begin(), text.end()); }
std::string textOf(const ByteVector& bytes) { return std::string(bytes.begin(), bytes.end()); }

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
