// The exact text of the documents the windows save, against golden files.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "documents/AccessTables.h"
#include "documents/CommunicationSettings.h"
#include "support/TestFiles.h"

namespace {

using documents::AccessRow;
using documents::AccessTables;
using testing_support::TempDir;

struct WrittenCase {
    const char* folder;  // below tests/data/written, holding the expected file
    const char* fileName;
    std::function<void(const std::string&)> write;
};

void PrintTo(const WrittenCase& c, std::ostream* os) {
    *os << c.folder;
}

class WrittenDocuments : public ::testing::TestWithParam<WrittenCase> {};

TEST_P(WrittenDocuments, MatchTheGoldenFile) {
    const WrittenCase& c = GetParam();
    TempDir dir;
    const std::string path = dir / c.fileName;
    // A longer earlier file must leave no trace.
    testing_support::writeFile(path, std::string(4096, 'x'));

    c.write(path);
    EXPECT_EQ(
        testing_support::readFile(path),
        testing_support::readFile(testing_support::testData(std::string("written/") + c.folder + "/" + c.fileName)));
}

AccessTables sdoRows() {
    AccessTables tables;
    tables.in = {AccessRow{"100", "0", "1", ""}, AccessRow{"$FF", " 2", "3", "Pump & valve <1> \"on\""},
                 AccessRow{"", "9", "9", "after the run: not stored"}, AccessRow{"5", "5", "5", "not stored"}};
    tables.out = {AccessRow{"200", "2", "3", "Temp\xC3\xA9rature \xE6\xB8\xA9\xE5\xBA\xA6"}};
    return tables;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WrittenDocuments,
    ::testing::Values(
        WrittenCase{"pargen-defaults", "pargen.xml",
                    [](const std::string& path) {
                        documents::writeCommunicationSettings(path, documents::defaultCommunicationTexts());
                    }},
        WrittenCase{
            "pargen-typed", "pargen.xml",
            [](const std::string& path) {
                documents::writeCommunicationSettings(path, {"-1", "2", " 20", "0", "4", "$14", "10", "0x10", "0"});
            }},
        WrittenCase{"sdo-empty", "sdo.xml", [](const std::string& path) { documents::writeAccessTables(path, {}); }},
        WrittenCase{"sdo-rows", "sdo.xml",
                    [](const std::string& path) { documents::writeAccessTables(path, sdoRows()); }}),
    [](const ::testing::TestParamInfo<WrittenCase>& info) {
        std::string name = info.param.folder;
        std::erase(name, '-');
        return name;
    });

}  // namespace
