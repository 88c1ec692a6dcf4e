#include "base/XmlDocument.h"
#include "documents/CommunicationSettings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/CaseNames.h"
#include "support/TestFiles.h"

namespace {

using base::XmlDocument;
using documents::AreaSizes;
using documents::CommunicationTexts;
using testing_support::failureOf;
using testing_support::TempDir;

const std::string kSerialId = "Error!! CANOpen address must be between 1 and 255. ";
const std::string kProfibusId = "Error!! ProfiBus address must be between 1 and 125. ";
const std::string kNByteIn = "Error!! ProfiBus N Byte IN must be between 0 and 244. ";
const std::string kNByteOut = "Error!! ProfiBus N Byte OUT must be between 0 and 244. ";

struct FieldCase {
    std::string serialId, profibusId, nByteIn, nByteOut;
    std::optional<std::string> message;
};

void PrintTo(const FieldCase& c, std::ostream* os) {
    *os << "[" << c.serialId << "] [" << c.profibusId << "] [" << c.nByteIn << "] [" << c.nByteOut << "]";
}

class CommunicationFieldChecks : public ::testing::TestWithParam<FieldCase> {};

TEST_P(CommunicationFieldChecks, AnswerTheFirstFailingCheck) {
    const FieldCase& c = GetParam();
    EXPECT_EQ(documents::checkCommunicationValues(c.serialId, c.profibusId, c.nByteIn, c.nByteOut), c.message)
        << "[" << c.serialId << "] [" << c.profibusId << "] [" << c.nByteIn << "] [" << c.nByteOut << "]";
}

std::string fieldCaseName(const ::testing::TestParamInfo<FieldCase>& info) {
    const FieldCase& c = info.param;
    return testing_support::caseName(
        {{"Serial", c.serialId}, {"Profibus", c.profibusId}, {"In", c.nByteIn}, {"Out", c.nByteOut}});
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, CommunicationFieldChecks,
    ::testing::Values(FieldCase{"1", "1", "0", "0", std::nullopt}, FieldCase{"255", "125", "244", "244", std::nullopt},
                      FieldCase{" $FF", "0x7D", "$F4", " 0", std::nullopt}, FieldCase{"0", "1", "0", "0", kSerialId},
                      FieldCase{"256", "1", "0", "0", kSerialId}, FieldCase{"", "1", "0", "0", kSerialId},
                      FieldCase{"abc", "1", "0", "0", kSerialId}, FieldCase{"1 ", "1", "0", "0", kSerialId},
                      FieldCase{"1", "0", "0", "0", kProfibusId}, FieldCase{"1", "126", "0", "0", kProfibusId},
                      FieldCase{"1", "", "0", "0", kProfibusId}, FieldCase{"1", "1", "245", "0", kNByteIn},
                      FieldCase{"1", "1", "-1", "0", kNByteIn}, FieldCase{"1", "1", "", "0", kNByteIn},
                      FieldCase{"1", "1", "0", "245", kNByteOut}, FieldCase{"1", "1", "0", "-1", kNByteOut},
                      FieldCase{"1", "1", "0", "2.5", kNByteOut}),
    fieldCaseName);

INSTANTIATE_TEST_SUITE_P(OnlyTheFirstOfSeveral, CommunicationFieldChecks,
                         ::testing::Values(FieldCase{"0", "200", "245", "-1", kSerialId},
                                           FieldCase{"1", "200", "245", "-1", kProfibusId},
                                           FieldCase{"1", "1", "245", "-1", kNByteIn}),
                         fieldCaseName);

struct AreaCase {
    std::optional<std::string> pargen;  // nothing: no file
    std::int32_t fallback;
    AreaSizes expected;
};

void PrintTo(const AreaCase& c, std::ostream* os) {
    *os << c.pargen.value_or("(no file)");
}

class AreaSizesReading : public ::testing::TestWithParam<AreaCase> {};

TEST_P(AreaSizesReading, FallsBackPerSize) {
    const AreaCase& c = GetParam();
    TempDir dir;
    if (c.pargen) testing_support::writeFile(dir / "pargen.xml", *c.pargen);
    EXPECT_EQ(documents::readAreaSizes(dir / "pargen.xml", c.fallback), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AreaSizesReading,
    ::testing::Values(
        AreaCase{std::nullopt, 244, {244, 244}}, AreaCase{std::nullopt, 0, {0, 0}},
        AreaCase{"<Par_Gen><Profi_NB_IN>20</Profi_NB_IN><Profi_NB_OUT> $1E</Profi_NB_OUT></Par_Gen>", 0, {20, 30}},
        AreaCase{"<Par_Gen><Profi_NB_IN>20</Profi_NB_IN></Par_Gen>", 244, {20, 244}},
        AreaCase{"<Par_Gen><Profi_NB_IN>abc</Profi_NB_IN><Profi_NB_OUT>7</Profi_NB_OUT></Par_Gen>", 0, {0, 7}},
        AreaCase{"<Par_Gen><Profi_NB_IN></Profi_NB_IN><Profi_NB_OUT>300</Profi_NB_OUT></Par_Gen>", 244, {244, 300}},
        // Only direct children of the first node count.
        AreaCase{
            "<Par_Gen><x><Profi_NB_IN>20</Profi_NB_IN></x><Profi_NB_OUT>9</Profi_NB_OUT></Par_Gen>", 244, {244, 9}},
        AreaCase{"<!-- saved by hand --><Par_Gen><Profi_NB_IN>20</Profi_NB_IN></Par_Gen>", 244, {244, 244}},
        AreaCase{"<?xml version=\"1.0\"?><Par_Gen><Profi_NB_IN>20</Profi_NB_IN></Par_Gen>", 0, {0, 0}}),
    [](const auto& info) {
        const auto& c = info.param;
        return testing_support::caseName({{"Case", std::to_string(info.index)},
                                          {c.pargen ? "_File" : "_NoFile", ""},
                                          {"_Fallback", std::to_string(c.fallback)},
                                          {"_In", std::to_string(c.expected.nByteIn)},
                                          {"Out", std::to_string(c.expected.nByteOut)}});
    });

TEST(AreaSizesReading, DocumentNotWellFormedThrowsTheServiceMessage) {
    TempDir dir;
    testing_support::writeFile(dir / "pargen.xml", "<Par_Gen><Profi_NB_IN>20</Profi_NB_OUT></Par_Gen>");
    XmlDocument reference;
    const std::string expected = failureOf([&] { reference.load(dir / "pargen.xml"); });
    ASSERT_NE(expected, "no failure");
    EXPECT_EQ(failureOf([&] { documents::readAreaSizes(dir / "pargen.xml", 244); }), expected);
}

// The texts of a reading that must have read all nine.
CommunicationTexts allNine(const base::Reading<documents::StoredCommunicationTexts>& reading) {
    EXPECT_FALSE(reading.failure) << *reading.failure;
    EXPECT_EQ(reading.value.count, 9u);
    return reading.value.texts;
}

TEST(StoredCommunicationTexts, DefaultsWithoutAFileAndVerbatimTextsWithOne) {
    TempDir dir;
    EXPECT_EQ(allNine(documents::readStoredCommunicationTexts(dir / "pargen.xml")),
              (CommunicationTexts{"7", "0", "1", "1", "0", "1", "10", "244", "244"}));

    testing_support::writeFile(dir / "pargen.xml",
                               "<Par_Gen><Ser_Baud>9</Ser_Baud><Ser_Par>$2</Ser_Par><Ser_ID> 20 x</Ser_ID>"
                               "<Ser_Type>0</Ser_Type><Ser_Prot>7</Ser_Prot><Profi_ID>$14</Profi_ID>"
                               "<Profi_Baud>3</Profi_Baud><Profi_NB_IN>abc</Profi_NB_IN><Profi_NB_OUT>0</Profi_NB_OUT>"
                               "</Par_Gen>");
    EXPECT_EQ(allNine(documents::readStoredCommunicationTexts(dir / "pargen.xml")),
              (CommunicationTexts{"9", "$2", " 20 x", "0", "7", "$14", "3", "abc", "0"}));

    // The PROFIBUS fields take their defaults one by one.
    testing_support::writeFile(dir / "pargen.xml",
                               "<Par_Gen><Ser_Baud>3</Ser_Baud><Ser_Par>1</Ser_Par><Ser_ID>5</Ser_ID>"
                               "<Ser_Type>1</Ser_Type><Ser_Prot>2</Ser_Prot><Profi_NB_IN>16</Profi_NB_IN></Par_Gen>");
    EXPECT_EQ(allNine(documents::readStoredCommunicationTexts(dir / "pargen.xml")),
              (CommunicationTexts{"3", "1", "5", "1", "2", "1", "10", "16", "244"}));
}

struct DamagedCase {
    std::string pargen;
    std::string message;            // "{path}" stands for the document's path
    CommunicationTexts readBefore;  // the texts read before the damage, then the defaults
    std::size_t count;              // how many of them come from the file
};

void PrintTo(const DamagedCase& c, std::ostream* os) {
    *os << c.pargen;
}

class StoredCommunicationTextsDamaged : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(StoredCommunicationTextsDamaged, ReportsWhatTheWindowCannotLoad) {
    TempDir dir;
    testing_support::writeFile(dir / "pargen.xml", GetParam().pargen);
    std::string expected = GetParam().message;
    if (const auto at = expected.find("{path}"); at != std::string::npos) expected.replace(at, 6, dir / "pargen.xml");
    const auto reading = documents::readStoredCommunicationTexts(dir / "pargen.xml");
    EXPECT_EQ(reading.failure.value_or("no failure"), expected);
    EXPECT_EQ(reading.value.count, GetParam().count);
    EXPECT_EQ(reading.value.texts, GetParam().readBefore);
    EXPECT_EQ(failureOf([&] { reading.valueOrThrow(); }), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredCommunicationTextsDamaged,
    ::testing::Values(
        DamagedCase{"<Par_Gen><Ser_Baud>7</Ser_Baud><Ser_Par>0</Ser_Par><Ser_ID>1</Ser_ID><Ser_Prot>0</Ser_Prot>"
                    "</Par_Gen>",
                    "Element \"Ser_Type\" not found in \"{path}\"",
                    {"7", "0", "1", "1", "0", "1", "10", "244", "244"},
                    3},
        DamagedCase{"<Par_Gen><Ser_Baud>3</Ser_Baud><Ser_Par>2</Ser_Par><Ser_Type>1</Ser_Type></Par_Gen>",
                    "Element \"Ser_ID\" not found in \"{path}\"",
                    {"3", "2", "1", "1", "0", "1", "10", "244", "244"},
                    2},
        // Checked in document order: the baud rate is reported before the missing protocol.
        DamagedCase{"<Par_Gen><Ser_Baud>fast</Ser_Baud></Par_Gen>", "'fast' is not a valid integer value",
                    documents::defaultCommunicationTexts(), 0},
        DamagedCase{"<Par_Gen><Ser_Baud>6</Ser_Baud><Ser_Par>0</Ser_Par><Ser_ID>x</Ser_ID><Ser_Type>0</Ser_Type>"
                    "<Ser_Prot>2.0</Ser_Prot></Par_Gen>",
                    "'2.0' is not a valid integer value",
                    {"6", "0", "x", "0", "0", "1", "10", "244", "244"},
                    4},
        DamagedCase{"<!-- c --><Par_Gen><Ser_Baud>7</Ser_Baud></Par_Gen>",
                    "Element \"Ser_Baud\" not found in \"{path}\"", documents::defaultCommunicationTexts(), 0},
        DamagedCase{"<Par_Gen><Ser_Baud>6</Ser_Baud>",
                    "Premature end of data in tag Par_Gen line 1 (line 1, column 32) in \"{path}\"",
                    documents::defaultCommunicationTexts(), 0}),
    [](const auto& info) {
        return testing_support::caseName(
            {{"Case", std::to_string(info.index)}, {"_Read", std::to_string(info.param.count)}});
    });

TEST(CommunicationSettingsWriting, RoundTripsTheTexts) {
    TempDir dir;
    testing_support::writeFile(dir / "pargen.xml", "<Serial_to_ProfiBus><ProfiBUS_IN/></Serial_to_ProfiBus>");
    const CommunicationTexts texts{"-1", "2", " 20 & <21>", "0", "4", "$14", "10", "0x10", "caf\xC3\xA9"};
    documents::writeCommunicationSettings(dir / "pargen.xml", texts);

    EXPECT_EQ(allNine(documents::readStoredCommunicationTexts(dir / "pargen.xml")), texts);
    XmlDocument reader;
    reader.load(dir / "pargen.xml");
    EXPECT_EQ(reader.firstNode().name(), "Par_Gen");
    EXPECT_EQ(reader.firstNode().childCount(), 9u);
}

TEST(CommunicationSettingsWriting, FailedWriteThrowsTheFileName) {
    TempDir dir;
    const std::string path = dir / "gone/pargen.xml";
    EXPECT_EQ(failureOf([&] { documents::writeCommunicationSettings(path, documents::defaultCommunicationTexts()); }),
              "Cannot create file \"" + path + "\". No such file or directory");
}

}  // namespace
