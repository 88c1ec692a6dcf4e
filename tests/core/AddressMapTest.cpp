#include "outputs/AddressMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/TessaroCli.h"
#include "outputs/AddressMapPage.h"
#include "outputs/GsdFile.h"
#include "support/DocumentTexts.h"
#include "support/TestFiles.h"

namespace {

using outputs::AccessArea;
using outputs::ModulePlace;
using testing_support::occurrences;
using testing_support::pargenWithSizes;
using testing_support::TempDir;

std::string row(int address, int high, int low) {
    return "<row Address=\"" + std::to_string(address) + "\" Add_Profi_Hi=\"" + std::to_string(high) +
           "\" Add_Profi_Lo=\"" + std::to_string(low) + "\" Mnemonic=\"\"/>";
}

outputs::AddressMap mapOf(const std::string& projectDir) {
    return outputs::buildAddressMap(projectDir, outputs::readMapDocuments(projectDir));
}

// A module as the GSD file's module line states it.
struct ModuleLine {
    std::string name;  // "DO  (PORT3)"
    int size;          // the length byte plus one
};

// The module lines of the GSD file that the GSD writer writes for the project.
std::vector<ModuleLine> moduleLinesOf(const TempDir& project) {
    outputs::WriteGsdFile(project.path(), project / "device.gsd");
    std::istringstream gsd(testing_support::readFile(project / "device.gsd"));
    const std::regex moduleLine(R"re(Module="(D[IO]  \(PORT\d\))    " 0x[48]2,0x([0-9A-F]{2}),0x00,0x0\d\r)re");
    std::vector<ModuleLine> modules;
    std::smatch match;
    for (std::string line; std::getline(gsd, line);) {
        if (std::regex_match(line, match, moduleLine)) {
            modules.push_back({match[1], std::stoi(match[2], nullptr, 16) + 1});
        }
    }
    return modules;
}

// Where the GSD file puts each byte of one direction: its modules of that kind
// follow each other from byte 0.
std::vector<ModulePlace> placesOf(const std::vector<ModuleLine>& modules, const std::string& kind) {
    std::vector<ModulePlace> places;
    for (const ModuleLine& module : modules) {
        if (module.name.rfind(kind, 0) != 0) continue;
        for (int offset = 0; offset < module.size; ++offset) places.push_back({module.name, offset});
    }
    return places;
}

struct ModuleRuleCase {
    AccessArea area;
    int length;  // of the area the table lies in
    int other;   // of the other area
};

std::string nameOf(const ModuleRuleCase& c) {
    const int in = c.area == AccessArea::In ? c.length : c.other;
    const int out = c.area == AccessArea::In ? c.other : c.length;
    return std::string(c.area == AccessArea::In ? "InputTable" : "OutputTable") + "_In" + std::to_string(in) + "Out" +
           std::to_string(out);
}

void PrintTo(const ModuleRuleCase& c, std::ostream* os) {
    *os << nameOf(c);
}

std::string caseName(const ::testing::TestParamInfo<ModuleRuleCase>& info) {
    return nameOf(info.param);
}

class AddressMapModules : public ::testing::TestWithParam<ModuleRuleCase> {};

// Every position of a table, and the first one past its area, lands where the
// GSD writer's own module lines put that byte for the master.
TEST_P(AddressMapModules, FollowTheModuleLinesOfTheGsdFile) {
    const ModuleRuleCase& c = GetParam();
    const bool in = c.area == AccessArea::In;
    TempDir project;
    testing_support::writeFile(project / "pargen.xml", pargenWithSizes(std::to_string(in ? c.length : c.other),
                                                                       std::to_string(in ? c.other : c.length)));
    // Rows covering every position of the area and the one after it.
    std::string rows;
    for (int position = 0; position <= c.length; position += 2) rows += row(position, position, position + 1);
    testing_support::writeFile(project / "sdo.xml", "<Serial_to_ProfiBus><ProfiBUS_IN>" + (in ? rows : "") +
                                                        "</ProfiBUS_IN><ProfiBUS_OUT>" + (in ? "" : rows) +
                                                        "</ProfiBUS_OUT></Serial_to_ProfiBus>");

    // The gateway's input area is what the master outputs (DO), and back.
    const std::vector<ModulePlace> expected = placesOf(moduleLinesOf(project), in ? "DO" : "DI");
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(c.length));

    const outputs::AddressMap map = mapOf(project.path());
    const outputs::AreaMap& area = in ? map.in : map.out;
    EXPECT_EQ(area.size, c.length);
    ASSERT_EQ(area.rows.size(), static_cast<std::size_t>(c.length / 2 + 1));
    for (const outputs::MappedRow& mapped : area.rows) {
        for (const outputs::MappedPosition* position : {&mapped.high, &mapped.low}) {
            const auto at = static_cast<std::size_t>(*position->value);
            if (at < expected.size()) {
                EXPECT_EQ(position->place, std::optional(expected[at])) << "position " << at;
            } else {
                EXPECT_EQ(position->place, std::nullopt) << "position " << at;
                EXPECT_EQ(outputs::moduleText(*position), "outside");
            }
        }
    }
    EXPECT_EQ(outputs::placeOf(map.lengths, c.area, -1), std::nullopt);
}

std::vector<ModuleRuleCase> moduleRuleCases() {
    std::vector<ModuleRuleCase> cases;
    for (const AccessArea area : {AccessArea::In, AccessArea::Out}) {
        for (const int length : {0, 1, 64, 65, 244}) cases.push_back({area, length, 65});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Lengths, AddressMapModules, ::testing::ValuesIn(moduleRuleCases()), caseName);

TEST(AddressMapModules, PositionSeventyOfAHundredBytesIn) {
    const outputs::ProfibusLengths lengths = outputs::profibusLengths(20, 100);
    EXPECT_EQ(outputs::placeOf(lengths, AccessArea::In, 70), (ModulePlace{"DO  (PORT3)", 6}));
    EXPECT_EQ(outputs::placeOf(lengths, AccessArea::Out, 19), (ModulePlace{"DI  (PORT1)", 19}));
    EXPECT_EQ(outputs::placeOf(lengths, AccessArea::Out, 20), std::nullopt);
}

// Each folder under tests/data/addressmap holds a project's documents (either
// may be missing) and the report they give, with the folder's name as the
// project; together the cases show every kind of warning.
std::vector<std::string> goldenCases() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(testing_support::testData("addressmap"))) {
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class AddressMapGolden : public ::testing::TestWithParam<std::string> {};

TEST_P(AddressMapGolden, ReportMatchesTheExpectedText) {
    const std::string folder = testing_support::testData("addressmap/" + GetParam());
    const outputs::AddressMap map = outputs::buildAddressMap(GetParam(), outputs::readMapDocuments(folder));
    EXPECT_EQ(outputs::addressMapText(map), testing_support::readFile(folder + "/expected.txt"));
}

INSTANTIATE_TEST_SUITE_P(Cases, AddressMapGolden, ::testing::ValuesIn(goldenCases()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::erase(name, '-');
                             return name;
                         });

TEST(AddressMapReading, DamagedAccessTablesGiveTheReadersMessage) {
    TempDir project;
    testing_support::writeFile(
        project / "sdo.xml",
        "<Serial_to_ProfiBus><ProfiBUS_IN><row Address=\"1\"/></ProfiBUS_IN></Serial_to_ProfiBus>");
    EXPECT_EQ(testing_support::failureOf([&] { outputs::readMapDocuments(project.path()); }),
              "Row 1 of \"ProfiBUS_IN\" in \"" + (project / "sdo.xml") + "\" has no attribute \"Add_Profi_Hi\"");
    testing_support::writeFile(project / "pargen.xml", "<Par_Gen>");
    EXPECT_NE(testing_support::failureOf([&] { outputs::readMapDocuments(project.path()); }).find("pargen.xml"),
              std::string::npos);
}

std::size_t unusedBytes(const outputs::AreaMap& area) {
    return static_cast<std::size_t>(
        std::count_if(area.uses.begin(), area.uses.end(), [](const auto& uses) { return uses.empty(); }));
}

TEST(AddressMapPage, SelfContainedWithCellsForEveryByte) {
    const outputs::AddressMap map = mapOf(testing_support::testData("addressmap/worked-example"));
    const std::string page = outputs::addressMapPage(map);

    EXPECT_EQ(page.rfind("<!DOCTYPE html>\r\n", 0), 0u);
    EXPECT_EQ(occurrences(page, "\n"), occurrences(page, "\r\n"));
    for (const char* outside : {"<script", "src=", "href=", "@import", "<link", "<img"}) {
        EXPECT_EQ(page.find(outside), std::string::npos) << outside;
    }
    // The only address in it is the SVG name space, which is never fetched.
    EXPECT_EQ(occurrences(page, "http"), occurrences(page, "xmlns=\"http://www.w3.org/2000/svg\""));
    EXPECT_NE(page.find("@page { size: A4"), std::string::npos);

    // One cell per byte of both areas: grey where no row reads or writes, the
    // hatching where two do (byte 71 of the input area).
    EXPECT_EQ(occurrences(page, "<rect x="), 100u + 20u);
    EXPECT_EQ(occurrences(page, "fill=\"#D9D9D9\""), unusedBytes(map.in) + unusedBytes(map.out));
    EXPECT_EQ(occurrences(page, "fill=\"url(#twice)\""), 1u);
    EXPECT_NE(page.find("<title>byte 71, DO  (PORT3) offset 7: row 3 low, register 102 (0x0066), Mode &lt;auto&gt;; "
                        "row 4 high, register 103 (0x0067), Setpoint 2</title>"),
              std::string::npos);
    for (const char* module : {">DO  (PORT2)</text>", ">DO  (PORT3)</text>", ">DI  (PORT1)</text>"}) {
        EXPECT_EQ(occurrences(page, module), 1u) << module;
    }
    EXPECT_NE(page.find("<td class=\"mnemonic\">Mode &lt;auto&gt;</td>"), std::string::npos);
    EXPECT_EQ(page.find("<auto>"), std::string::npos);
    EXPECT_EQ(occurrences(page, "<li>warning: "), map.warnings.size());
}

TEST(AddressMapCommand, PrintsTheReportAndWritesThePage) {
    TempDir project;
    for (const char* name : {"pargen.xml", "sdo.xml"}) {
        std::filesystem::copy_file(testing_support::testData(std::string("addressmap/worked-example/") + name),
                                   project / name);
    }
    std::ostringstream out, err;
    EXPECT_EQ(cli::runCli({"map", "--html", project / "map.html", project.path()}, out, err), cli::kExitSuccess);
    EXPECT_EQ(err.str(), "");
    const outputs::AddressMap map = mapOf(project.path());
    EXPECT_EQ(out.str(), outputs::addressMapText(map));
    EXPECT_EQ(testing_support::readFile(project / "map.html"), outputs::addressMapPage(map));
}

}  // namespace
