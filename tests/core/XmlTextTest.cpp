#include "base/XmlText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/XmlDocument.h"
#include "canopen/EditorDocuments.h"
#include "support/TestFiles.h"

namespace {

struct TextCase {
    const char* name;
    std::string utf8;
    std::optional<std::string> refusal;  // of characterRefusal("Mnemonic", ...)
};

class XmlText : public ::testing::TestWithParam<TextCase> {};

// Every text the strict document service can read back passes; everything
// it would refuse, or that is not UTF-8 at all, is found with its code.
TEST_P(XmlText, FindsTheFirstCharacterXmlCannotHold) {
    const TextCase& c = GetParam();
    const auto found = base::firstNonXmlCharacter(c.utf8);
    EXPECT_EQ(found ? std::optional(base::characterRefusal("Mnemonic", *found)) : std::nullopt, c.refusal);
    if (found) {
        EXPECT_TRUE(base::isCharacterRefusal(*c.refusal));
    }

    // The service agrees: what passes is read back unchanged, what is found
    // would make the written document unreadable.
    testing_support::TempDir folder;
    const std::string path = folder / "text.xml";
    base::XmlDocument written;
    written.appendRoot("root").setAttribute("text", c.utf8);
    try {
        written.save(path);
    } catch (const std::exception&) {
        EXPECT_TRUE(found) << "the service could not write a text that passed";
        return;
    }
    base::XmlDocument read;
    bool readBack = false;
    try {
        read.load(path);
        readBack = read.documentElement().attribute("text") == c.utf8;
    } catch (const std::exception&) {
    }
    EXPECT_EQ(readBack, !found);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XmlText,
    ::testing::Values(
        TextCase{"Plain", "Tank level", std::nullopt}, TextCase{"Empty", "", std::nullopt},
        TextCase{"TabLineFeedReturn", "a\tb\nc\rd", std::nullopt},
        TextCase{"Accented", "Temp\xC3\xA9rature", std::nullopt},
        TextCase{"LastBeforeSurrogates", "\xED\x9F\xBF", std::nullopt},
        TextCase{"ReplacementCharacter", "\xEF\xBF\xBD", std::nullopt},
        TextCase{"BeyondTheBasicPlane", "\xF0\x9F\x98\x80", std::nullopt},
        TextCase{"Nul", std::string("a\0b", 3), "Mnemonic holds the character U+0000, which cannot be saved"},
        TextCase{"StartOfHeading", "Tank\x01", "Mnemonic holds the character U+0001, which cannot be saved"},
        TextCase{"Escape", "\x1B[0m", "Mnemonic holds the character U+001B, which cannot be saved"},
        TextCase{"UnitSeparator", "\x1F", "Mnemonic holds the character U+001F, which cannot be saved"},
        TextCase{"Fffe", "a\xEF\xBF\xBE", "Mnemonic holds the character U+FFFE, which cannot be saved"},
        TextCase{"Ffff", "\xEF\xBF\xBF", "Mnemonic holds the character U+FFFF, which cannot be saved"},
        TextCase{"EncodedSurrogate", "a\xED\xA0\x80",
                 "Mnemonic holds the byte 0xED, which is not UTF-8 text and cannot be saved"},
        TextCase{"Latin1Byte", "Temp\xE9rature",
                 "Mnemonic holds the byte 0xE9, which is not UTF-8 text and cannot be saved"},
        TextCase{"OverlongSlash", "\xC0\xAF",
                 "Mnemonic holds the byte 0xC0, which is not UTF-8 text and cannot be saved"},
        TextCase{"Truncated", "a\xE2\x82", "Mnemonic holds the byte 0xE2, which is not UTF-8 text and cannot be saved"},
        TextCase{"BeyondUnicode", "\xF4\x90\x80\x80",
                 "Mnemonic holds the byte 0xF4, which is not UTF-8 text and cannot be saved"}),
    [](const auto& info) { return std::string(info.param.name); });

// The windows hold UTF-16: a lone surrogate is refused with its own code, a
// pair stands for one character that XML holds.
TEST(XmlTextUtf16, LoneSurrogatesAreRefusedAndPairsPass) {
    EXPECT_EQ(base::firstNonXmlCharacter(std::u16string_view(u"Tank \U0001F600")), std::nullopt);
    const char16_t lone[] = {u'a', 0xD800, u'b'};
    const auto high = base::firstNonXmlCharacter(std::u16string_view(lone, 3));
    ASSERT_TRUE(high);
    EXPECT_EQ(high->code, 0xD800u);
    const char16_t trailing[] = {0xDC00};
    EXPECT_EQ(base::firstNonXmlCharacter(std::u16string_view(trailing, 1))->code, 0xDC00u);
    const char16_t controls[] = {u'x', 0x0007};
    EXPECT_EQ(base::characterRefusal("Mnemonic", *base::firstNonXmlCharacter(std::u16string_view(controls, 2))),
              "Mnemonic holds the character U+0007, which cannot be saved");
}

// The editors' write-out refuses such a text, naming the row and the
// attribute, and leaves the previous document whole.
TEST(XmlTextEditorDocument, WriteOutRefusesAndKeepsThePreviousFile) {
    testing_support::TempDir project;
    const std::string path = project / "emcydef.xml";
    testing_support::writeFile(path, "<emcydef/>");
    const std::vector<canopen::RowAttributes> rows{{{"id", "1"}, {"descr", "Pump"}},
                                                   {{"id", "2"}, {"descr", "Tank\x01"}}};
    try {
        canopen::writeEditorDocument(path, "emcydef", rows);
        FAIL() << "expected a refusal";
    } catch (const base::CharacterRefused& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Error row 2!! [emcydef] descr holds the character U+0001, which cannot be saved. ");
    }
    EXPECT_EQ(testing_support::readFile(path), "<emcydef/>");
}

}  // namespace
