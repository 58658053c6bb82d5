#include "topology/ini_document.h"
#include "topology/ini_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace std::string_literals;
using ini::IniDocument;
using ini::TextFault;

namespace {

IniDocument Parse(const std::string& bytes) {
    return IniDocument(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string Bytes(const IniDocument& document) {
    return document.ToBytes().toStdString();
}

std::optional<std::string> Get(const IniDocument& document, std::string_view section,
                               std::string_view key) {
    const std::optional<std::string_view> value = document.Value(section, key);
    return value ? std::optional<std::string>(std::string(*value)) : std::nullopt;
}

std::vector<std::string> SectionNames(const IniDocument& document) {
    std::vector<std::string> names;
    for (int i = 0; i < document.SectionCount(); ++i) {
        names.emplace_back(document.SectionName(i));
    }
    return names;
}

struct ReadCase {
    const char* name;
    std::string input;
    std::string section;
    std::string key;
    std::optional<std::string> expected;
};

TEST(IniDocumentTest, ReadsKeysByTheGrammar) {
    const ReadCase cases[] = {
        {"names ignore case, blanks trimmed", "[Sec]\r\n  Key \t=  some value \t\r\n", "sEC", "KEY",
         "some value"},
        {"query blanks trimmed", "[Sec]\r\nKey=v\r\n", " Sec ", " Key ", "v"},
        {"empty value is present", "[A]\r\nx=\r\n", "A", "x", ""},
        {"value keeps later '='", "[A]\r\nx=a=b\r\n", "A", "x", "a=b"},
        {"comment is no key", "[A]\r\n;x=1\r\n  ; y=2\r\n", "A", ";x", std::nullopt},
        {"indented comment is no key", "[A]\r\n  ; y=2\r\n", "A", "; y", std::nullopt},
        {"line without '=' is no key", "[A]\r\nx\r\n", "A", "x", std::nullopt},
        {"keys before any section are nobody's", "x=1\r\n[A]\r\n", "A", "x", std::nullopt},
        {"LF line ends", "[A]\nx=1\ny=2\n", "A", "y", "2"},
        {"lone CR line ends", "[A]\rx=1\ry=2\r", "A", "y", "2"},
        {"CR CR LF is two line ends", "[A]\r\r\nx=1\r\r\n", "A", "x", "1"},
        {"missing final newline", "[A]\r\nx=1", "A", "x", "1"},
        {"byte-order mark skipped", "\xEF\xBB\xBF[A]\r\nx=1\r\n", "A", "x", "1"},
        {"first duplicate section wins", "[A]\r\nx=1\r\n[a]\r\nx=2\r\ny=3\r\n", "A", "y",
         std::nullopt},
        {"first duplicate key wins", "[A]\r\nx=1\r\nX=2\r\n", "a", "X", "1"},
        {"section name trimmed", "[  A \t]\r\nx=1\r\n", "a", "x", "1"},
        {"unclosed section name", "[A\r\nx=1\r\n", "A", "x", "1"},
        {"text after ']' ignored", "[A] ; note\r\nx=1\r\n", "A", "x", "1"},
        {"key in next section not seen", "[A]\r\n[B]\r\nx=1\r\n", "A", "x", std::nullopt},
        {"NUL inside a value", "[A]\r\nx=a\0b\r\n"s, "A", "x", "a\0b"s},
        {"NUL inside a section name", "[A\0B]\r\nx=1\r\n"s, "A\0b"s, "x", "1"},
        {"Unicode names ignore case", "[\xC3\x84rger]\r\nSchl\xC3\xBCssel=1\r\n", "\xC3\xA4rger",
         "SCHL\xC3\x9CSSEL", "1"},
        {"8-bit value bytes as they stand", "[A]\r\nx=Caf\xE9\r\n", "A", "x", "Caf\xE9"},
    };
    for (const ReadCase& c : cases) {
        const IniDocument document = Parse(c.input);
        EXPECT_EQ(Get(document, c.section, c.key), c.expected) << c.name;
        EXPECT_EQ(Bytes(document), c.input) << c.name << ": parsing changed the bytes";
    }
}

TEST(IniDocumentTest, EnumeratesEverySectionInFileOrder) {
    const IniDocument document = Parse("; c\r\nk=v\r\n[b]\r\n[Header]\r\nx=1\r\n[b]\r\n[ a ]");
    EXPECT_EQ(SectionNames(document), (std::vector<std::string>{"b", "Header", "b", "a"}));
    EXPECT_EQ(document.FindSection("B"), 0);
    EXPECT_EQ(document.FindSection("header"), 1);
    EXPECT_EQ(document.FindSection("c"), -1);
}

TEST(IniDocumentTest, OddBytesParseWithoutLoss) {
    const std::string inputs[] = {
        "",
        "\xEF\xBB\xBF",
        "\xEF\xBB",
        "\r\n\n\r\r\n",
        "\0\0\0"s,
        "[\0]\0=\0\r\n"s,
        "[[[]]]\r\n=\r\n==\r\n[",
        std::string(70000, 'x') + "=" + std::string(70000, 'y'),
    };
    for (const std::string& input : inputs) {
        const IniDocument document = Parse(input);
        EXPECT_EQ(Bytes(document), input);
        EXPECT_FALSE(document.Modified());
    }
    EXPECT_EQ(Get(Parse("[A]\r\n" + std::string(70000, 'k') + "=v"), "A", std::string(70000, 'K')),
              "v");
}

struct EditCase {
    const char* name;
    std::string input;
    std::string section;
    std::string key;
    std::string value;
    std::string expected;
};

TEST(IniDocumentTest, WritesChangeOnlyTheKeyLine) {
    const EditCase cases[] = {
        {"replace keeps other lines and line ends", "; top\r\n[A]\nx = 1 \r\ny=2\r[B]\r\nx=3", "A",
         "x", "9", "; top\r\n[A]\nx = 9\r\ny=2\r[B]\r\nx=3"},
        {"replace keeps key spelling", "[Sec]\r\nKey=old\r\n", "SEC", "kEY", "new",
         "[Sec]\r\nKey=new\r\n"},
        {"replace with empty value", "[A]\r\nx=1\r\n", "A", "x", "", "[A]\r\nx=\r\n"},
        {"replace in last line without newline", "[A]\r\nx=1", "A", "x", "22", "[A]\r\nx=22"},
        {"first duplicate key replaced", "[A]\r\nx=1\r\nX=2\r\n", "a", "x", "9",
         "[A]\r\nx=9\r\nX=2\r\n"},
        {"first duplicate section written", "[A]\r\nx=1\r\n[a]\r\nx=2\r\n", "A", "x", "9",
         "[A]\r\nx=9\r\n[a]\r\nx=2\r\n"},
        {"new key before the blank separator", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n", "A", "z", "3",
         "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n"},
        {"new key after a trailing comment", "[A]\nx=1\n; note\n\n[B]\n", "A", "z", "3",
         "[A]\nx=1\n; note\nz=3\r\n\n[B]\n"},
        {"new key into a section without keys", "[A]\n[B]\n", "A", "x", "1", "[A]\nx=1\r\n[B]\n"},
        {"new key at the end without newline", "[A]", "A", "x", "1", "[A]\r\nx=1\r\n"},
        {"line without '=' is no key", "[A]\r\nx\r\n", "A", "x", "1", "[A]\r\nx\r\nx=1\r\n"},
        {"lone CR file", "[A]\rx=1\r", "A", "y", "2", "[A]\rx=1\ry=2\r\n"},
        {"new section at the end", "[A]\r\nx=1\r\n", "B", "y", "2", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
        {"new section after a last line without newline", "[A]\nx=1", "B", "y", "2",
         "[A]\nx=1\r\n[B]\r\ny=2\r\n"},
        {"new section into an empty file", "", "Header", "Count", "3", "[Header]\r\nCount=3\r\n"},
        {"keys before any section are not reused", "x=1\r\n[A]\r\n", "A", "x", "2",
         "x=1\r\n[A]\r\nx=2\r\n"},
        {"byte-order mark kept", "\xEF\xBB\xBF[A]\r\nx=1\r\n", "A", "x", "2",
         "\xEF\xBB\xBF[A]\r\nx=2\r\n"},
        {"8-bit lines untouched", "[A]\r\nname=Caf\xE9\r\n[\xC4]\r\nx=1\r\n", "\xC4", "x", "2",
         "[A]\r\nname=Caf\xE9\r\n[\xC4]\r\nx=2\r\n"},
        {"NUL lines untouched", "[A]\r\nbad=\0\0\r\n\0\r\nx=1\r\n"s, "A", "x", "2",
         "[A]\r\nbad=\0\0\r\n\0\r\nx=2\r\n"s},
        {"section index shifts after an insert", "[A]\r\nx=1\r\n[B]\r\ny=1\r\n", "A", "n", "5",
         "[A]\r\nx=1\r\nn=5\r\n[B]\r\ny=1\r\n"},
        {"value blanks written as given", "[A]\r\n", "A", "x", " v ", "[A]\r\nx= v \r\n"},
    };
    for (const EditCase& c : cases) {
        IniDocument document = Parse(c.input);
        ASSERT_EQ(document.SetValue(c.section, c.key, c.value), TextFault::kNone) << c.name;
        EXPECT_EQ(Bytes(document), c.expected) << c.name;
        EXPECT_TRUE(document.Modified()) << c.name;
        const std::string readBack(ini::TrimBlanks(c.value));
        EXPECT_EQ(Get(document, c.section, c.key), readBack) << c.name;
        EXPECT_EQ(Get(Parse(Bytes(document)), c.section, c.key), readBack) << c.name;
    }
}

TEST(IniDocumentTest, SuccessiveWritesKeepEverySectionAddressable) {
    IniDocument document = Parse("[A]\r\na=1\r\n\r\n[B]\r\nb=1\r\n\r\n[C]\r\nc=1\r\n");
    for (const char* section : {"A", "B", "C"}) {
        ASSERT_EQ(document.SetValue(section, "n1", "x"), TextFault::kNone);
        ASSERT_EQ(document.SetValue(section, "n2", "y"), TextFault::kNone);
    }
    ASSERT_EQ(document.SetValue("B", "b", "2"), TextFault::kNone);
    ASSERT_EQ(document.SetValue("D", "d", "1"), TextFault::kNone);
    ASSERT_EQ(document.SetValue("A", "n3", "z"), TextFault::kNone);
    EXPECT_EQ(Bytes(document), "[A]\r\na=1\r\nn1=x\r\nn2=y\r\nn3=z\r\n\r\n"
                               "[B]\r\nb=2\r\nn1=x\r\nn2=y\r\n\r\n"
                               "[C]\r\nc=1\r\nn1=x\r\nn2=y\r\n"
                               "[D]\r\nd=1\r\n");
    EXPECT_EQ(Get(document, "C", "n2"), "y");
    EXPECT_EQ(Get(document, "D", "d"), "1");
}

TEST(IniDocumentTest, WritingTheSameValueChangesNothing) {
    IniDocument document = Parse("[A]\r\nx = 1\r\n");
    ASSERT_EQ(document.SetValue("a", "X", "1"), TextFault::kNone);
    EXPECT_FALSE(document.Modified());
    EXPECT_EQ(Bytes(document), "[A]\r\nx = 1\r\n");
}

struct FaultCase {
    std::string section;
    std::string key;
    std::string value;
    TextFault fault;
};

TEST(IniDocumentTest, RefusesTextThatWouldChangeTheStructure) {
    const FaultCase cases[] = {
        {"A", "x", "a\r\nb", TextFault::kLineBreak}, {"A", "x", "a\nb", TextFault::kLineBreak},
        {"A", "x", "a\rb", TextFault::kLineBreak},   {"A", "x", "a\0b"s, TextFault::kNul},
        {"A\nB", "x", "1", TextFault::kLineBreak},   {"A\0"s, "x", "1", TextFault::kNul},
        {"A]B", "x", "1", TextFault::kBracket},      {"A", "x\r", "1", TextFault::kLineBreak},
        {"A", "x=y", "1", TextFault::kEquals},       {"A", " [x", "1", TextFault::kLeadingMark},
        {"A", ";x", "1", TextFault::kLeadingMark},
    };
    const std::string input = "[A]\r\nx=1\r\n";
    for (const FaultCase& c : cases) {
        IniDocument document = Parse(input);
        EXPECT_EQ(document.SetValue(c.section, c.key, c.value), c.fault)
            << c.section << "/" << c.key << "/" << c.value;
        EXPECT_FALSE(document.Modified());
        EXPECT_EQ(Bytes(document), input);
    }
}

} // namespace
