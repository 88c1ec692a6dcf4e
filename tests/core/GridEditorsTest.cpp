// What the grid editors (Translate PDO, Set SDO Access) write from the rows a
// window hands them: a grid may hold gaps and flag cells with any text, which
// no document or workbook produces.
#include <gtest/gtest.h>

#include "canopen/SdoAccess.h"
#include "canopen/TranslatePdo.h"
#include "support/TestFiles.h"

namespace {

using testing_support::TempDir;

TEST(TranslatePdoSave, WritesTheRowsBeforeTheFirstEmptyCobidAndOnlyExactlyOneSetsTheFlag) {
    canopen::PdoTranslationTables tables;
    tables.first = {{"7", "a", "01", "1", "1"},
                    {"5", "b", "1", "2", "2"},
                    {"", "gap", "1", "", ""},
                    {"abc", "below the gap: neither checked nor written", "1", "", ""}};
    tables.second = {{"$10", "c", "yes", "3", "3"}, {"16", "d", "1", "4", "4"}};
    TempDir project;
    canopen::saveTranslatePdo(project / "rpdodef.xml", tables);
    EXPECT_EQ(testing_support::readFile(project / "rpdodef.xml"),
              "<rpdodef>"
              "<row cobid=\"5\" id_dev_orig=\"b\" en_bypass=\"3\" posind=\"2\" n_tpdo=\"2\"/>"
              "<row cobid=\"7\" id_dev_orig=\"a\" en_bypass=\"2\" posind=\"1\" n_tpdo=\"1\"/>"
              "<row cobid=\"16\" id_dev_orig=\"d\" en_bypass=\"1\" posind=\"4\" n_tpdo=\"4\"/>"
              "<row cobid=\"$10\" id_dev_orig=\"c\" en_bypass=\"0\" posind=\"3\" n_tpdo=\"3\"/>"
              "</rpdodef>");
}

TEST(TranslatePdoExport, EveryGridRowIsWrittenGapsIncluded) {
    canopen::PdoTranslationTables tables;
    tables.first = {{"1", "a", "01", "", ""}, {"", "", "", "", ""}, {"3", "c", "1", "x,y", ""}};
    const std::vector<canopen::CsvLine> lines = canopen::exportTranslatePdo(tables);
    ASSERT_EQ(lines.size(), 22u);
    EXPECT_EQ(lines[1], (canopen::CsvLine{"1", "a", "00", "", ""}));
    EXPECT_EQ(lines[2], (canopen::CsvLine{"", "", "00", "", ""}));
    EXPECT_EQ(lines[3], (canopen::CsvLine{"3", "c", "01", "x,y", ""}));
    EXPECT_EQ(lines[11], (canopen::CsvLine{"cobid", "id_dev_orig", "10", "posind", "n_tpdo"}));
}

TEST(SdoAccessExport, OnlyAnRwCellOfExactlyOneSetsBitFour) {
    canopen::SdoAccessTables tables;
    tables.first = {{"01", "1", "2", "3", "4", "5", "6", "m"}, {"1", "", "", "", "", "", "", ""}};
    tables.second = {{"yes", "", "", "", "", "", "", ""}, {"1", "", "", "", "", "", "", ""}};
    const std::vector<canopen::CsvLine> lines = canopen::exportSdoAccess(tables);
    ASSERT_EQ(lines.size(), 3002u);
    EXPECT_EQ(lines[1], (canopen::CsvLine{"0", "1", "2", "3", "4", "5", "6", "m"}));
    EXPECT_EQ(lines[2].front(), "16");
    EXPECT_EQ(lines[1502].front(), "1");
    EXPECT_EQ(lines[1503].front(), "17");
    EXPECT_EQ(lines[1501],
              (canopen::CsvLine{"1", "Index", "Subindex", "devID", "Index", "Subindex", "nbyte", "mnemonico"}));
}

TEST(SdoAccessLoad, EmptyPathReadsNothingAndSaysNothing) {
    const auto reading = canopen::loadSdoAccess("");
    EXPECT_TRUE(reading.ok());
    EXPECT_TRUE(reading.value.first.empty());
    EXPECT_TRUE(reading.value.second.empty());
}

}  // namespace
