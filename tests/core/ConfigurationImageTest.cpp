#include "outputs/ConfigurationImage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "base/XmlDocument.h"
#include "documents/CommunicationSettings.h"
#include "support/CaseNames.h"
#include "support/TestFiles.h"

namespace {

using outputs::ConfigurationImage;
using testing_support::failureOf;
using testing_support::TempDir;

std::string bytesOf(const ConfigurationImage& image) {
    const auto bytes = image.image();
    return std::string(bytes.begin(), bytes.end());
}

// A project folder with its bin sub-folder and the documents given.
void makeProject(const TempDir& dir, const std::optional<std::string>& pargen, const std::optional<std::string>& sdo) {
    std::filesystem::create_directories(dir / "bin");
    if (pargen) testing_support::writeFile(dir / "pargen.xml", *pargen);
    if (sdo) testing_support::writeFile(dir / "sdo.xml", *sdo);
}

std::optional<std::string> fixture(const std::string& folder, const std::string& name) {
    const std::string path = testing_support::testData("image/" + folder + "/" + name);
    if (!testing_support::exists(path)) return std::nullopt;
    return testing_support::readFile(path);
}

std::string pargen(const std::string& serType, const std::string& serProt) {
    return "<Par_Gen><Ser_Baud>7</Ser_Baud><Ser_Par>0</Ser_Par><Ser_ID>1</Ser_ID><Ser_Type>" + serType +
           "</Ser_Type><Ser_Prot>" + serProt +
           "</Ser_Prot><Profi_ID>1</Profi_ID><Profi_Baud>10</Profi_Baud><Profi_NB_IN>244</Profi_NB_IN>"
           "<Profi_NB_OUT>244</Profi_NB_OUT></Par_Gen>";
}
const std::string kPargen = pargen("1", "0");

// Each folder under tests/data/image holds the documents of a project (either
// may be absent) and the bank.bin they must give.
class ConfigurationImageGolden : public ::testing::TestWithParam<const char*> {};

TEST_P(ConfigurationImageGolden, MatchesTheExpectedFile) {
    TempDir project;
    makeProject(project, fixture(GetParam(), "pargen.xml"), fixture(GetParam(), "sdo.xml"));
    const std::optional<std::string> expected = fixture(GetParam(), "bank.bin");
    ASSERT_TRUE(expected.has_value());

    ConfigurationImage image;
    image.BuildConfigurationImage(project.path());
    EXPECT_EQ(bytesOf(image), *expected);
    image.WriteConfigurationImage(project.path());
    EXPECT_EQ(testing_support::readFile(project / "bin/bank.bin"), *expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ConfigurationImageGolden,
                         ::testing::Values("worked-example", "neither", "only-pargen", "only-sdo", "empty-groups",
                                           "rs232-ascii-no-selection", "jbus-rs485", "wide-values"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             std::erase(name, '-');
                             return name;
                         });

struct SerialCodesCase {
    std::string serType, serProt;
    std::uint8_t interfaceByte, protocolByte;
};

void PrintTo(const SerialCodesCase& c, std::ostream* os) {
    *os << c.serType << "/" << c.serProt;
}

class ConfigurationImageSerialCodes : public ::testing::TestWithParam<SerialCodesCase> {};

// Byte 11 is 0 only for RS485; byte 12 is 1 for the ASCII framings and for
// codes the settings window shows as ASCII. Both look at the low 8 bits.
TEST_P(ConfigurationImageSerialCodes, MapInterfaceAndProtocol) {
    const SerialCodesCase& c = GetParam();
    TempDir project;
    makeProject(project, pargen(c.serType, c.serProt), std::nullopt);
    ConfigurationImage image;
    image.BuildConfigurationImage(project.path());
    ASSERT_EQ(image.image().size(), 17u);
    EXPECT_EQ(image.image()[11], c.interfaceByte) << "Ser_Type " << c.serType;
    EXPECT_EQ(image.image()[12], c.protocolByte) << "Ser_Prot " << c.serProt;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConfigurationImageSerialCodes,
    ::testing::Values(SerialCodesCase{"1", "0", 0, 0}, SerialCodesCase{"0", "1", 1, 1}, SerialCodesCase{"1", "2", 0, 0},
                      SerialCodesCase{"1", "3", 0, 0}, SerialCodesCase{"0", "4", 1, 1}, SerialCodesCase{"2", "5", 1, 1},
                      SerialCodesCase{"$01", "7", 0, 1}, SerialCodesCase{"-1", "-1", 1, 1},
                      SerialCodesCase{"257", "256", 0, 0}, SerialCodesCase{"256", "258", 1, 0}),
    [](const auto& info) {
        return testing_support::caseName({{"Type", info.param.serType}, {"Prot", info.param.serProt}});
    });

struct FailureCase {
    const char* name;
    std::optional<std::string> pargen, sdo;
    // "{dir}" stands for the project folder; "{xml:<file>}" alone for the XML
    // service's message on that file.
    std::string message;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class ConfigurationImageFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ConfigurationImageFailure, StopsTheBuildAndLeavesTheEarlierFile) {
    const FailureCase& c = GetParam();
    TempDir project;
    makeProject(project, std::nullopt, std::nullopt);
    const std::string earlier = "earlier image";
    testing_support::writeFile(project / "bin/bank.bin", earlier);
    // A good build before the failing one must not be what a later write stores.
    ConfigurationImage image;
    image.BuildConfigurationImage(project.path());
    ASSERT_EQ(image.image().size(), 8u);
    makeProject(project, c.pargen, c.sdo);

    std::string expected = c.message;
    if (expected.rfind("{xml:", 0) == 0) {
        base::XmlDocument reference;
        const std::string file = expected.substr(5, expected.size() - 6);
        expected = failureOf([&] { reference.load(project / file); });
        ASSERT_NE(expected, "no failure");
    }
    for (auto at = expected.find("{dir}/"); at != std::string::npos; at = expected.find("{dir}/")) {
        expected.replace(at, 6, project.path() + platform::kPathSeparator);
    }

    EXPECT_EQ(failureOf([&] { image.BuildConfigurationImage(project.path()); }), expected);
    EXPECT_TRUE(image.image().empty());
    EXPECT_NE(failureOf([&] { image.WriteConfigurationImage(project.path()); }), "no failure");
    EXPECT_EQ(testing_support::readFile(project / "bin/bank.bin"), earlier);
}

const std::string kSdoRow = "<row Address=\"1\" Add_Profi_Hi=\"0\" Add_Profi_Lo=\"1\" Mnemonic=\"\"/>";

INSTANTIATE_TEST_SUITE_P(
    Cases, ConfigurationImageFailure,
    ::testing::Values(
        FailureCase{"SerialIdNotAnInteger",
                    "<Par_Gen><Ser_Baud>7</Ser_Baud><Ser_Par>0</Ser_Par><Ser_ID>abc</Ser_ID></Par_Gen>", std::nullopt,
                    "'abc' is not a valid integer value"},
        FailureCase{"EmptyProfibusId",
                    "<Par_Gen><Ser_Baud>7</Ser_Baud><Ser_Par>0</Ser_Par><Ser_ID>1</Ser_ID><Ser_Type>1</Ser_Type>"
                    "<Ser_Prot>0</Ser_Prot><Profi_ID></Profi_ID></Par_Gen>",
                    std::nullopt, "'' is not a valid integer value"},
        FailureCase{"MissingElement",
                    "<Par_Gen><Ser_Baud>7</Ser_Baud><Ser_Par>0</Ser_Par><Ser_ID>1</Ser_ID><Ser_Type>1</Ser_Type>"
                    "<Ser_Prot>0</Ser_Prot><Profi_ID>1</Profi_ID><Profi_Baud>10</Profi_Baud>"
                    "<Profi_NB_IN>244</Profi_NB_IN></Par_Gen>",
                    std::nullopt, "Element \"Profi_NB_OUT\" not found in \"{dir}/pargen.xml\""},
        FailureCase{"DeclarationBeforeTheRoot", "<?xml version=\"1.0\"?>" + kPargen, std::nullopt,
                    "Element \"Ser_Baud\" not found in \"{dir}/pargen.xml\""},
        FailureCase{"PargenNotWellFormed", "<Par_Gen><Ser_Baud>7</Ser_Bau></Par_Gen>", std::nullopt,
                    "{xml:pargen.xml}"},
        FailureCase{"MissingOutputGroup", kPargen,
                    "<Serial_to_ProfiBus><ProfiBUS_IN>" + kSdoRow + "</ProfiBUS_IN></Serial_to_ProfiBus>",
                    "Element \"ProfiBUS_OUT\" not found in \"{dir}/sdo.xml\""},
        FailureCase{"RowWithoutLowPosition", std::nullopt,
                    "<Serial_to_ProfiBus><ProfiBUS_IN/><ProfiBUS_OUT>" + kSdoRow +
                        "<row Address=\"2\" Add_Profi_Hi=\"0\"/></ProfiBUS_OUT></Serial_to_ProfiBus>",
                    "Row 2 of \"ProfiBUS_OUT\" in \"{dir}/sdo.xml\" has no attribute \"Add_Profi_Lo\""},
        FailureCase{"AddressNotAnInteger", kPargen,
                    "<Serial_to_ProfiBus><ProfiBUS_IN><row Address=\"1.5\" Add_Profi_Hi=\"0\" Add_Profi_Lo=\"1\"/>"
                    "</ProfiBUS_IN><ProfiBUS_OUT/></Serial_to_ProfiBus>",
                    "'1.5' is not a valid integer value"},
        FailureCase{"SdoNotWellFormed", kPargen, "<Serial_to_ProfiBus><ProfiBUS_IN>", "{xml:sdo.xml}"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

std::string sdoWithRows(std::size_t inputRows, std::size_t outputRows) {
    std::string sdo = "<Serial_to_ProfiBus><ProfiBUS_IN>";
    for (std::size_t i = 0; i < inputRows; ++i) sdo += "<row Address=\"4660\" Add_Profi_Hi=\"1\" Add_Profi_Lo=\"2\"/>";
    sdo += "</ProfiBUS_IN><ProfiBUS_OUT>";
    for (std::size_t i = 0; i < outputRows; ++i)
        sdo += "<row Address=\"$ABCD\" Add_Profi_Hi=\"3\" Add_Profi_Lo=\"4\"/>";
    return sdo + "</ProfiBUS_OUT></Serial_to_ProfiBus>";
}

TEST(ConfigurationImageBuffer, TakesRowsUpToItsRoomAndRefusesOneMore) {
    // With pargen.xml the rows start at 21: room for (100000 - 21) / 4 rows; without it at 12.
    for (const bool withPargen : {true, false}) {
        const std::size_t room = withPargen ? 24994 : 24997;
        TempDir project;
        makeProject(project, withPargen ? std::optional(kPargen) : std::nullopt, sdoWithRows(room - 3, 3));
        ConfigurationImage image;
        image.BuildConfigurationImage(project.path());
        const auto bytes = image.image();
        ASSERT_EQ(bytes.size(), (withPargen ? 21 : 12) + 4 * room);
        const std::size_t counts = withPargen ? 17 : 8;
        EXPECT_EQ(bytes[counts] | bytes[counts + 1] << 8, static_cast<int>(room - 3));
        EXPECT_EQ(bytes[counts + 2] | bytes[counts + 3] << 8, 3);
        EXPECT_EQ(std::string(bytes.end() - 8, bytes.end()), "\xCD\xAB\x03\x04\xCD\xAB\x03\x04");

        testing_support::writeFile(project / "sdo.xml", sdoWithRows(room - 3, 4));
        EXPECT_EQ(failureOf([&] { image.BuildConfigurationImage(project.path()); }),
                  "\"" + (project / "sdo.xml") + "\" holds " + std::to_string(room + 1) +
                      " access rows; the configuration image has room for at most " + std::to_string(room) + ".");
        EXPECT_TRUE(image.image().empty());
    }
}

TEST(ConfigurationImageBuffer, ReusedBufferGivesIdenticalFiles) {
    TempDir small, large;
    makeProject(small, testing_support::readFile(testing_support::testData("image/worked-example/pargen.xml")),
                testing_support::readFile(testing_support::testData("image/worked-example/sdo.xml")));
    makeProject(large, std::nullopt, sdoWithRows(200, 200));
    const std::string expected = testing_support::readFile(testing_support::testData("image/worked-example/bank.bin"));

    ConfigurationImage image;
    image.BuildConfigurationImage(small.path());
    image.WriteConfigurationImage(small.path());
    image.BuildConfigurationImage(small.path());
    image.WriteConfigurationImage(small.path());
    EXPECT_EQ(testing_support::readFile(small / "bin/bank.bin"), expected);

    // A larger image in between must leave nothing behind in the shorter one.
    image.BuildConfigurationImage(large.path());
    ASSERT_EQ(image.image().size(), 12u + 4 * 400);
    image.BuildConfigurationImage(small.path());
    image.WriteConfigurationImage(small.path());
    EXPECT_EQ(testing_support::readFile(small / "bin/bank.bin"), expected);
}

TEST(ConfigurationImageWriting, ReportsAFileThatCannotBeCreated) {
    TempDir project;  // no bin folder
    ConfigurationImage image;
    EXPECT_EQ(
        failureOf([&] { image.WriteConfigurationImage(project.path()); }),
        "No configuration image has been built for \"" + (project / "bin") + platform::kPathSeparator + "bank.bin\"");
    image.BuildConfigurationImage(project.path());
    EXPECT_EQ(failureOf([&] { image.WriteConfigurationImage(project.path()); }),
              "Cannot create file \"" + (project / "bin") + platform::kPathSeparator +
                  "bank.bin\". No such file or directory");
    EXPECT_FALSE(testing_support::exists(project / "bin"));
}

}  // namespace
