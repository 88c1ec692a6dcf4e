// The rules behind the buttons of Store PDO, Translate EMCY and EMCY word that
// the windows call: entry and id checks, poscomp and positions, bypass_set,
// captions and word numbering.
#include <gtest/gtest.h>

#include "canopen/EmcyWord.h"
#include "canopen/StorePdo.h"
#include "canopen/TranslateEmcy.h"
#include "canopen/TranslatePdo.h"
#include "support/TestFiles.h"

namespace {

using canopen::EntryPosition;
using testing_support::failureOf;

canopen::StorePdoPage storePage() {
    canopen::StorePdoPage page;
    page.sdoChecks = {{"0x2000", "1"}};
    page.pdos = {{"0x181", {{"0x3000", "1", "0"}, {"12288", "2", "0"}}}, {"0x182", {{"0x4000", "0", "0"}}}};
    return page;
}

TEST(StoredSdoCheck, RefusesIndexesOfSdoXmlAndOfOtherEntries) {
    const canopen::StorePdoPage page = storePage();
    // 0x2000 and 8192 are the same index.
    EXPECT_EQ(canopen::checkStoredSdo(page, "8192", "1", std::nullopt), canopen::kSdoAlreadyExists);
    EXPECT_EQ(canopen::checkStoredSdo(page, "$4000", "0", std::nullopt), canopen::kIndexOrSubindexNotValid);
    EXPECT_EQ(canopen::checkStoredSdo(page, "0x3000", "2", std::nullopt), canopen::kIndexOrSubindexNotValid);
    EXPECT_EQ(canopen::checkStoredSdo(page, "0x3000", "3", std::nullopt), std::nullopt);
    // Modify: the entry itself does not count, others do.
    EXPECT_EQ(canopen::checkStoredSdo(page, "0x3000", "2", EntryPosition{0, 1}), std::nullopt);
    EXPECT_EQ(canopen::checkStoredSdo(page, "0x4000", "0", EntryPosition{0, 1}), canopen::kIndexOrSubindexNotValid);
}

TEST(StoredSdoCheck, ConvertsOnlyWhenThereIsSomethingToCompare) {
    EXPECT_EQ(canopen::checkStoredSdo({}, "any", "text", std::nullopt), std::nullopt);
    EXPECT_EQ(failureOf([] { canopen::checkStoredSdo(storePage(), "any", "1", std::nullopt); }),
              "'any' is not a valid integer value");
}

TEST(Poscomp, TwoNibblesInTwoRadioGroups) {
    EXPECT_EQ(canopen::poscompText({2, 3}), "35");
    const canopen::PoscompNibbles nibbles = canopen::poscompNibbles("35");
    EXPECT_EQ(nibbles.high, 2);
    EXPECT_EQ(nibbles.low, 3);
    EXPECT_EQ(canopen::poscompNibbles("0xF9").high, 15);
    EXPECT_EQ(canopen::poscompRadioItem(8), 8);
    EXPECT_EQ(canopen::poscompRadioItem(15), -1);
    EXPECT_EQ(canopen::poscompNibbleOfItem(-1), 0);
    EXPECT_EQ(canopen::poscompNibbleOfItem(4), 4);
    // "Paste SDO" before any "Copy SDO": the empty poscomp.
    EXPECT_EQ(failureOf([] { canopen::poscompNibbles(""); }), "'' is not a valid integer value");
    EXPECT_EQ(canopen::storedSdoLine(2), "Sdo2");
}

// Store PDO lists the PDOs of CAN B to CAN A on page "CanA" and those of CAN A to
// CAN B on page "CanB", in the order Translate PDO wrote them.
TEST(StorePdoWithTranslatePdo, PagesTakeThePdosOfTheOtherDirectionInWrittenOrder) {
    testing_support::TempDir project;
    canopen::PdoTranslationTables tables;
    tables.first = {{"0x182", "2", "1", "0", "1"}, {"0x181", "1", "0", "0", "1"}};
    tables.second = {{"0x281", "1", "1", "0", "1"}};
    canopen::saveTranslatePdo(project / "rpdodef.xml", tables);

    canopen::StorePdoReading reading = canopen::loadStorePdo(project.path(), project / "sdopdo.xml");
    EXPECT_EQ(reading.messages(), (std::vector<std::string>{"File SDO XML not found", "File SDOPDO XML not found"}));
    auto& pages = reading.value.pages;
    ASSERT_EQ(pages[canopen::kCanA].pdos.size(), 1u);
    EXPECT_EQ(pages[canopen::kCanA].pdos[0].cobid, "0x281");
    ASSERT_EQ(pages[canopen::kCanB].pdos.size(), 2u);
    EXPECT_EQ(pages[canopen::kCanB].pdos[0].cobid, "0x181");
    EXPECT_EQ(pages[canopen::kCanB].pdos[1].cobid, "0x182");

    pages[canopen::kCanA].pdos[0].entries.push_back({"0x2000", "1", canopen::poscompText({1, 2})});
    pages[canopen::kCanB].pdos[1].entries.push_back({"0x2001", "0", "0"});
    pages[canopen::kCanB].pdos[0].entries.push_back({"8193", "0", "3"});
    canopen::saveStorePdo(project / "sdopdo.xml", reading.value);
    EXPECT_EQ(testing_support::readFile(project / "sdopdo.xml"),
              "<sdopdo><row index=\"0x2000\" subindex=\"1\" nrpdo=\"1\" poscomp=\"18\"/>"
              "<row index=\"8193\" subindex=\"0\" nrpdo=\"129\" poscomp=\"3\"/>"
              "<row index=\"0x2001\" subindex=\"0\" nrpdo=\"130\" poscomp=\"0\"/></sdopdo>");

    // Read back, the entries stand where they were made.
    const canopen::StorePdoReading again = canopen::loadStorePdo(project.path(), project / "sdopdo.xml");
    EXPECT_EQ(again.value.pages[canopen::kCanB].pdos[1].entries, (std::vector<canopen::TClSdo>{{"0x2001", "0", "0"}}));
}

canopen::TClEmcy emcyEntry(const std::string& line) {
    canopen::TClEmcy entry;
    entry.line = line;
    return entry;
}

TEST(EmcyIdCheck, ComparesTextsAndMayGiveTheMessageTwice) {
    const std::vector<canopen::TClEmcy> page = {emcyEntry("5"), emcyEntry(""), emcyEntry("16")};
    using Messages = std::vector<std::string>;
    EXPECT_EQ(canopen::checkEmcyId(page, "05", std::nullopt), Messages{});
    EXPECT_EQ(canopen::checkEmcyId(page, "0x10", std::nullopt), Messages{});
    EXPECT_EQ(canopen::checkEmcyId(page, "5", std::nullopt), Messages{"Index Not Valid"});
    EXPECT_EQ(canopen::checkEmcyId(page, "", std::nullopt), (Messages{"Index Not Valid", "Index Not Valid"}));
    EXPECT_EQ(canopen::checkEmcyId({emcyEntry("5")}, "", std::nullopt), Messages{"Index Not Valid"});
    // Modify with the id unchanged passes; changed to another line's id it is refused.
    EXPECT_EQ(canopen::checkEmcyId(page, "5", std::string("5")), Messages{});
    EXPECT_EQ(canopen::checkEmcyId(page, "16", std::string("5")), Messages{"Index Not Valid"});
}

TEST(EmcyEntry, EmptyBoxesStoreZeroWhileTheLineStaysEmpty) {
    std::array<std::string, canopen::kEmcyFieldCount> boxes{};
    boxes[1] = "0xFF";
    const canopen::TClEmcy entry = canopen::makeEmcyEntry(boxes, true, 4);
    EXPECT_EQ(entry.fields[0], "0");
    EXPECT_EQ(entry.fields[1], "0xFF");
    EXPECT_EQ(entry.line, "");
    EXPECT_EQ(canopen::bypassSet(entry, 0), 9);
    EXPECT_EQ(canopen::bypassSet(entry, 1), 41);

    canopen::TClEmcy modified = entry;
    boxes[0] = "7";
    canopen::modifyEmcyEntry(modified, boxes, false, std::nullopt);
    EXPECT_EQ(modified.line, "7");
    EXPECT_EQ(modified.alias, 4);
    EXPECT_FALSE(modified.translate);
    canopen::modifyEmcyEntry(modified, boxes, false, 2);
    EXPECT_EQ(modified.alias, 2);
}

TEST(EmcyBypassSet, PartsOfTheValue) {
    const canopen::BypassParts parts = canopen::bypassParts(35);
    EXPECT_TRUE(parts.translate);
    EXPECT_EQ(parts.alias, 1);
    EXPECT_EQ(parts.page, 1u);
    EXPECT_EQ(canopen::bypassParts(17).alias, 8);
    EXPECT_EQ(canopen::bypassParts(64).page, 0u);
    EXPECT_EQ(canopen::emcyAliasButton(15), -1);
    EXPECT_EQ(std::string(canopen::kEmcyAliasCaptions[1][1]), "Error code byte  HIGH");
}

TEST(EmcyWordTree, AbsolutePositionsGiveWordPlaceAndCaptions) {
    const canopen::TreePlace place = canopen::treePlace(21);
    EXPECT_EQ(place.word, 1u);
    EXPECT_EQ(place.place, 4u);  // Bit3 of the second word
    EXPECT_EQ(canopen::wordGroupCaption(place.word),
              "Word n\xC2\xB0"
              "1 Emcy Define ");
    EXPECT_EQ(canopen::bitGroupCaption(21),
              "Mask BIT n\xC2\xB0"
              "21 Define");
    EXPECT_EQ(canopen::treePlace(17).place, 0u);
    EXPECT_EQ(canopen::bitNodeText(15), "Bit15");
}

TEST(EmcyWordTree, NewWordsAreNumberedAfterTheLastOneAndDeletesDoNotRenumber) {
    std::vector<canopen::TClWEmcy> page;
    for (int i = 0; i < 3; ++i) page.push_back(canopen::newEmcyWord(page, "1", std::to_string(i), "1"));
    EXPECT_EQ(canopen::wordNodeText(page[2]), "W2");
    page.erase(page.begin() + 1);
    const canopen::TClWEmcy word = canopen::newEmcyWord(page, "1", "9", "1");
    EXPECT_EQ(canopen::wordNodeText(word), "W3");
    EXPECT_EQ(word.bits[15], canopen::ClEbm{});
    EXPECT_EQ(canopen::newEmcyWord({}, "1", "1", "1").number, 0);
}

TEST(EmcyWordCheck, EmptyOrSameTextsAreRefused) {
    std::vector<canopen::TClWEmcy> page = {canopen::newEmcyWord({}, "0x10", "1", "2")};
    EXPECT_FALSE(canopen::checkEmcyWord(page, "", "1", "2", std::nullopt));
    EXPECT_FALSE(canopen::checkEmcyWord(page, "0x10", "1", "2", std::nullopt));
    // Texts, not numbers: 16 is another word for the check.
    EXPECT_TRUE(canopen::checkEmcyWord(page, "16", "1", "2", std::nullopt));
    EXPECT_TRUE(canopen::checkEmcyWord(page, "0x10", "1", "2", std::size_t{0}));
}

TEST(EmcyWordPositions, SixteenTimesFirstPlusSecondModulo65536) {
    EXPECT_EQ(canopen::positionsField("2", "5"), "37");
    EXPECT_EQ(canopen::positionsField("4096", "1"), "1");
    EXPECT_EQ(canopen::positionsField("-1", "0"), "65520");
    const canopen::PositionBoxes boxes = canopen::positionBoxes("37");
    EXPECT_EQ(boxes.position1, 2);
    EXPECT_EQ(boxes.position2, 5);
    EXPECT_EQ(canopen::positionBoxes("-1").position1, 4095);
    EXPECT_EQ(failureOf([] { canopen::positionBoxes(""); }), "'' is not a valid integer value");
    EXPECT_EQ(failureOf([] { canopen::positionsField("2", "x"); }), "'x' is not a valid integer value");
}

}  // namespace
