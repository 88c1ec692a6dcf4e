#include "outputs/GsdFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/XmlDocument.h"
#include "support/CaseNames.h"
#include "support/DocumentTexts.h"
#include "support/TestFiles.h"

namespace {

using outputs::ProfibusLengths;
using testing_support::failureOf;
using testing_support::pargenWithSizes;
using testing_support::TempDir;

// The file's lines without their CR LF; fails when a line ends otherwise.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "text after the last CR LF: " << text.substr(start);
            break;
        }
        lines.push_back(text.substr(start, end - start));
        EXPECT_EQ(lines.back().find('\n'), std::string::npos) << "bare LF in line " << lines.size();
        start = end + 2;
    }
    return lines;
}

// Each folder under tests/data/gsd holds a project's pargen.xml (or none) and
// the GSD text it must give, checked line by line against the template.
class GsdFileGolden : public ::testing::TestWithParam<const char*> {};

TEST_P(GsdFileGolden, MatchesTheExpectedFile) {
    TempDir project;
    const std::string folder = testing_support::testData(std::string("gsd/") + GetParam());
    if (testing_support::exists(folder + "/pargen.xml")) {
        std::filesystem::copy_file(folder + "/pargen.xml", project / "pargen.xml");
    }
    const std::string expected = testing_support::readFile(folder + "/expected.gsd");

    outputs::WriteGsdFile(project.path(), project / "device.gsd");
    EXPECT_EQ(testing_support::readFile(project / "device.gsd"), expected);
    EXPECT_EQ(outputs::gsdText(outputs::ReadProfibusLengths(project.path())), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, GsdFileGolden, ::testing::Values("worked-example", "no-pargen"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             std::erase(name, '-');
                             return name;
                         });

TEST(GsdFileText, PlainAsciiWithoutTrailingBlanksAndAFixedBox) {
    const std::vector<std::string> lines = linesOf(outputs::gsdText(outputs::profibusLengths(244, 244)));
    ASSERT_GT(lines.size(), 189u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        for (const char c : line) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "line " << i + 1;
        if (!line.empty()) {
            EXPECT_NE(line.back(), ' ') << "line " << i + 1;
        }
        if (i >= 1 && i < 21) {
            EXPECT_EQ(line.size(), 85u) << "header line " << i + 1;
        }
    }
    EXPECT_EQ(lines[10], ";*           eMail: info@orvenna.example" + std::string(44, ' ') + "*");
}

TEST(GsdFileLengths, ModuleCounts) {
    const std::vector<std::pair<std::int32_t, std::int32_t>> counts = {{0, 0},   {1, 1},   {64, 1},  {65, 2},  {128, 2},
                                                                       {129, 3}, {192, 3}, {193, 4}, {244, 4}, {-5, 0}};
    for (const auto& [length, modules] : counts) EXPECT_EQ(outputs::moduleCount(length), modules) << length;
}

struct LengthsCase {
    std::optional<std::string> pargen;
    ProfibusLengths expected;
};

void PrintTo(const LengthsCase& c, std::ostream* os) {
    *os << c.pargen.value_or("(no file)");
}

class GsdFileReadLengths : public ::testing::TestWithParam<LengthsCase> {};

TEST_P(GsdFileReadLengths, SwapsTheAreaSizes) {
    TempDir project;
    if (GetParam().pargen) testing_support::writeFile(project / "pargen.xml", *GetParam().pargen);
    EXPECT_EQ(outputs::ReadProfibusLengths(project.path()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GsdFileReadLengths,
    ::testing::Values(LengthsCase{std::nullopt, {0, 0, 0, 0}},
                      LengthsCase{pargenWithSizes("20", "100"), {100, 20, 2, 1}},
                      LengthsCase{pargenWithSizes("244", "244"), {244, 244, 4, 4}},
                      LengthsCase{pargenWithSizes("abc", "$40"), {64, 0, 1, 0}},
                      LengthsCase{"<Par_Gen><Profi_NB_OUT>65</Profi_NB_OUT></Par_Gen>", {65, 0, 2, 0}},
                      LengthsCase{"<Par_Gen><Profi_NB_IN>65</Profi_NB_IN></Par_Gen>", {0, 65, 0, 2}}),
    [](const auto& info) {
        const auto& e = info.param.expected;
        return testing_support::caseName({{"Case", std::to_string(info.index)},
                                          {"_In", std::to_string(e.inputLength)},
                                          {"Out", std::to_string(e.outputLength)}});
    });

struct ModulesCase {
    std::string nByteIn, nByteOut;
    std::vector<std::string> modules;  // the module lines, in order
};

void PrintTo(const ModulesCase& c, std::ostream* os) {
    *os << "IN " << c.nByteIn << ", OUT " << c.nByteOut;
}

class GsdFileModules : public ::testing::TestWithParam<ModulesCase> {};

// The part that follows the project: the length lines, the module blocks, the
// slots and the closing lines.
TEST_P(GsdFileModules, CutTheLengthsIntoModulesAndSlots) {
    const ModulesCase& c = GetParam();
    TempDir project;
    testing_support::writeFile(project / "pargen.xml", pargenWithSizes(c.nByteIn, c.nByteOut));
    outputs::WriteGsdFile(project.path(), project / "out.gsd");
    const std::vector<std::string> lines = linesOf(testing_support::readFile(project / "out.gsd"));
    const int inputLength = std::stoi(c.nByteOut), outputLength = std::stoi(c.nByteIn);
    const std::size_t count = c.modules.size();

    ASSERT_EQ(lines.size(), 189 + 3 * count + 3 + 1 + count + 1 + 4);
    EXPECT_EQ(lines[152], "Max_Module=" + std::to_string(count));
    EXPECT_EQ(lines[154], "Max_Input_Len=" + std::to_string(inputLength));
    EXPECT_EQ(lines[155], "Max_Output_Len=" + std::to_string(outputLength));
    EXPECT_EQ(lines[156], "Max_Data_Len=" + std::to_string(inputLength + outputLength));
    EXPECT_EQ(lines[186], ";==== Module-Definition-List ==================================================");
    EXPECT_EQ(lines[188], "");

    std::size_t at = 189;
    for (std::size_t m = 1; m <= count; ++m) {
        EXPECT_EQ(lines[at++], c.modules[m - 1]);
        EXPECT_EQ(lines[at++], std::to_string(m));
        EXPECT_EQ(lines[at++], "EndModule");
    }
    const std::vector<std::string> gap(lines.begin() + at, lines.begin() + at + 4);
    EXPECT_EQ(gap, (std::vector<std::string>{"", "", "", "SlotDefinition"}));
    at += 4;
    for (std::size_t s = 1; s <= count; ++s) {
        const std::string n = std::to_string(s);
        EXPECT_EQ(lines[at++], "Slot(" + n + ") = \"Slot " + n + "\" " + n + " " + n);
    }
    const std::vector<std::string> end(lines.begin() + at, lines.end());
    EXPECT_EQ(end, (std::vector<std::string>{"EndSlotDefinition", "", "", "", ""}));
}

std::string modulesCaseName(const ::testing::TestParamInfo<ModulesCase>& info) {
    return testing_support::caseName({{"In", info.param.nByteIn}, {"Out", info.param.nByteOut}});
}

INSTANTIATE_TEST_SUITE_P(
    InputLengths, GsdFileModules,
    ::testing::Values(
        ModulesCase{"30", "0", {"Module=\"DO  (PORT1)    \" 0x82,0x1D,0x00,0x01"}},
        ModulesCase{
            "30",
            "1",
            {"Module=\"DI  (PORT1)    \" 0x42,0x00,0x00,0x01", "Module=\"DO  (PORT2)    \" 0x82,0x1D,0x00,0x02"}},
        ModulesCase{
            "30",
            "64",
            {"Module=\"DI  (PORT1)    \" 0x42,0x3F,0x00,0x01", "Module=\"DO  (PORT2)    \" 0x82,0x1D,0x00,0x02"}},
        ModulesCase{"30",
                    "65",
                    {"Module=\"DI  (PORT1)    \" 0x42,0x3F,0x00,0x01", "Module=\"DI  (PORT2)    \" 0x42,0x00,0x00,0x02",
                     "Module=\"DO  (PORT3)    \" 0x82,0x1D,0x00,0x03"}},
        ModulesCase{"30",
                    "128",
                    {"Module=\"DI  (PORT1)    \" 0x42,0x3F,0x00,0x01", "Module=\"DI  (PORT2)    \" 0x42,0x3F,0x00,0x02",
                     "Module=\"DO  (PORT3)    \" 0x82,0x1D,0x00,0x03"}},
        ModulesCase{"30",
                    "244",
                    {"Module=\"DI  (PORT1)    \" 0x42,0x3F,0x00,0x01", "Module=\"DI  (PORT2)    \" 0x42,0x3F,0x00,0x02",
                     "Module=\"DI  (PORT3)    \" 0x42,0x3F,0x00,0x03", "Module=\"DI  (PORT4)    \" 0x42,0x33,0x00,0x04",
                     "Module=\"DO  (PORT5)    \" 0x82,0x1D,0x00,0x05"}}),
    modulesCaseName);

INSTANTIATE_TEST_SUITE_P(OutputLengths, GsdFileModules,
                         ::testing::Values(ModulesCase{"0", "0", {}},
                                           ModulesCase{"1", "0", {"Module=\"DO  (PORT1)    \" 0x82,0x00,0x00,0x01"}},
                                           ModulesCase{"64", "0", {"Module=\"DO  (PORT1)    \" 0x82,0x3F,0x00,0x01"}},
                                           ModulesCase{"65",
                                                       "0",
                                                       {"Module=\"DO  (PORT1)    \" 0x82,0x3F,0x00,0x01",
                                                        "Module=\"DO  (PORT2)    \" 0x82,0x00,0x00,0x02"}},
                                           ModulesCase{"128",
                                                       "0",
                                                       {"Module=\"DO  (PORT1)    \" 0x82,0x3F,0x00,0x01",
                                                        "Module=\"DO  (PORT2)    \" 0x82,0x3F,0x00,0x02"}},
                                           ModulesCase{"244",
                                                       "0",
                                                       {"Module=\"DO  (PORT1)    \" 0x82,0x3F,0x00,0x01",
                                                        "Module=\"DO  (PORT2)    \" 0x82,0x3F,0x00,0x02",
                                                        "Module=\"DO  (PORT3)    \" 0x82,0x3F,0x00,0x03",
                                                        "Module=\"DO  (PORT4)    \" 0x82,0x33,0x00,0x04"}}),
                         modulesCaseName);

INSTANTIATE_TEST_SUITE_P(BothDirections, GsdFileModules,
                         ::testing::Values(ModulesCase{"20",
                                                       "20",
                                                       {"Module=\"DI  (PORT1)    \" 0x42,0x13,0x00,0x01",
                                                        "Module=\"DO  (PORT2)    \" 0x82,0x13,0x00,0x02"}},
                                           ModulesCase{"244",
                                                       "244",
                                                       {"Module=\"DI  (PORT1)    \" 0x42,0x3F,0x00,0x01",
                                                        "Module=\"DI  (PORT2)    \" 0x42,0x3F,0x00,0x02",
                                                        "Module=\"DI  (PORT3)    \" 0x42,0x3F,0x00,0x03",
                                                        "Module=\"DI  (PORT4)    \" 0x42,0x33,0x00,0x04",
                                                        "Module=\"DO  (PORT5)    \" 0x82,0x3F,0x00,0x05",
                                                        "Module=\"DO  (PORT6)    \" 0x82,0x3F,0x00,0x06",
                                                        "Module=\"DO  (PORT7)    \" 0x82,0x3F,0x00,0x07",
                                                        "Module=\"DO  (PORT8)    \" 0x82,0x33,0x00,0x08"}}),
                         modulesCaseName);

TEST(GsdFileWriting, ReplacesTheFileWithTheSameTextEachTime) {
    TempDir large, small, out;
    testing_support::writeFile(large / "pargen.xml", pargenWithSizes("244", "244"));
    testing_support::writeFile(small / "pargen.xml", pargenWithSizes("20", "20"));
    outputs::WriteGsdFile(small.path(), out / "first.gsd");
    outputs::WriteGsdFile(large.path(), out / "second.gsd");
    outputs::WriteGsdFile(small.path(), out / "second.gsd");
    EXPECT_EQ(testing_support::readFile(out / "second.gsd"), testing_support::readFile(out / "first.gsd"));
}

struct RefusedCase {
    std::string pargen;
    std::string message;  // "{xml}": the XML service's message on pargen.xml
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
    *os << c.pargen;
}

class GsdFileRefused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(GsdFileRefused, WritesNothing) {
    TempDir project;
    testing_support::writeFile(project / "pargen.xml", GetParam().pargen);
    testing_support::writeFile(project / "device.gsd", "earlier");
    std::string expected = GetParam().message;
    if (expected == "{xml}") {
        base::XmlDocument reference;
        expected = failureOf([&] { reference.load(project / "pargen.xml"); });
        ASSERT_NE(expected, "no failure");
    }
    EXPECT_EQ(failureOf([&] { outputs::WriteGsdFile(project.path(), project / "device.gsd"); }), expected);
    EXPECT_EQ(testing_support::readFile(project / "device.gsd"), "earlier");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GsdFileRefused,
    ::testing::Values(
        RefusedCase{"<Par_Gen><Profi_NB_IN>20</Profi_NB_IN>", "{xml}"},
        // No master takes more than 244 bytes, and the module lines could not count that far.
        RefusedCase{pargenWithSizes("245", "20"), "Error!! ProfiBus N Byte IN must be between 0 and 244. "},
        RefusedCase{pargenWithSizes("0", "-1"), "Error!! ProfiBus N Byte OUT must be between 0 and 244. "},
        RefusedCase{pargenWithSizes("1000", "1000"), "Error!! ProfiBus N Byte IN must be between 0 and 244. "}),
    [](const auto& info) {
        return testing_support::caseName({{"Case", std::to_string(info.index)},
                                          {"_", info.param.message == "{xml}" ? "NotWellFormed" : "OutOfRange"}});
    });

TEST(GsdFileWriting, ReportsAFileThatCannotBeCreated) {
    TempDir project;
    const std::string path = project / "no-folder/device.gsd";
    EXPECT_EQ(failureOf([&] { outputs::WriteGsdFile(project.path(), path); }),
              "Cannot create file \"" + path + "\". No such file or directory");
    EXPECT_FALSE(testing_support::exists(project / "no-folder"));
}

}  // namespace
