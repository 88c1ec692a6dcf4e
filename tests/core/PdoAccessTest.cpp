// The checks of the Set PDO Access window before it saves pdo.xml, and the
// Cob-ID display after reading.
#include "canopen/PdoAccess.h"

#include <gtest/gtest.h>

#include "support/TestFiles.h"

namespace {

using canopen::PdoAccessRow;
using canopen::PdoAccessTables;

struct ValidationCase {
    const char* name;
    std::vector<PdoAccessRow> in, out;
    documents::AreaSizes sizes;
    std::optional<std::string> message;
};

void PrintTo(const ValidationCase& c, std::ostream* os) {
    *os << c.name;
}

class PdoValidation : public ::testing::TestWithParam<ValidationCase> {};

TEST_P(PdoValidation, FirstFailureIsTheMessage) {
    const ValidationCase& c = GetParam();
    PdoAccessTables tables;
    tables.first = c.in;
    tables.second = c.out;
    EXPECT_EQ(canopen::ValidatePdoTables(tables, c.sizes), c.message);
}

const documents::AreaSizes k20{20, 20};

std::vector<PdoAccessRow> tenRows(const PdoAccessRow& last) {
    std::vector<PdoAccessRow> rows(9, PdoAccessRow{"1", "1", "0", ""});
    rows.push_back(last);
    return rows;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PdoValidation,
    ::testing::Values(
        ValidationCase{"EmptyTables", {}, {}, k20, std::nullopt},
        ValidationCase{"CobIdLimits",
                       {{"$7FF", "1", "0", ""}, {"1", "8", "12", ""}},
                       {{"$001", "1", "19", ""}},
                       k20,
                       std::nullopt},
        ValidationCase{"CobId800",
                       {{"$7FF", "1", "0", ""}, {"$800", "1", "0", ""}},
                       {},
                       k20,
                       "Error row 2!! [ProfiBus IN --> Transmit PDO] CANOpen Cob-Id must be between 0x001 and 0x7FF. "},
        ValidationCase{"CobIdZeroOut",
                       {},
                       {{"0", "1", "0", ""}},
                       k20,
                       "Error row 1!! [Recive PDO --> ProfiBub OUT] CANOpen Cob-Id  must be between 0x001 and 0x7FF. "},
        ValidationCase{"DimensionNotInteger",
                       {{"1", "eight", "0", ""}},
                       {},
                       k20,
                       "Error row 1!! [ProfiBus IN --> Transmit PDO] CANOpen Dimension must be between 1 and 8. "},
        ValidationCase{"DimensionOut",
                       {},
                       {{"1", "9", "0", ""}},
                       k20,
                       "Error row 1!! [Recive PDO --> ProfiBub OUT] CANOpen Dimension must be between 1 and 8. "},
        ValidationCase{"PositionAboveArea",
                       {{"1", "1", "21", ""}},
                       {},
                       k20,
                       "Error row 1!! [ProfiBus IN --> Transmit PDO] Address Profibus must be between 0 and 20. "},
        ValidationCase{"PositionPlusDimensionIn",
                       {{"1", "8", "13", ""}},
                       {},
                       k20,
                       "Error row 1!! [ProfiBus IN --> SDO in Read] Address Profibus plus Dimension is major of N "
                       "BYTE IN (20). "},
        ValidationCase{"PositionEqualToAreaFailsTheSum",
                       {},
                       {{"1", "1", "5", ""}},
                       documents::AreaSizes{20, 5},
                       "Error row 1!! [Recive PDO --> ProfiBub OUT] Address Profibus plus Dimension is major of N "
                       "BYTE OUT (5). "},
        ValidationCase{"NoOutputAreaRefusesPositionZero",
                       {},
                       {{"1", "1", "0", ""}},
                       documents::AreaSizes{20, 0},
                       "Error row 1!! [Recive PDO --> ProfiBub OUT] Address Profibus plus Dimension is major of N "
                       "BYTE OUT (0). "},
        ValidationCase{"RowTenIsChecked",
                       tenRows({"1", "0", "0", ""}),
                       {},
                       k20,
                       "Error row 10!! [ProfiBus IN --> Transmit PDO] CANOpen Dimension must be between 1 and 8. "},
        ValidationCase{"RowsAfterAnEmptyCobIdAreNotChecked",
                       {{"1", "1", "0", ""}, {"", "x", "x", ""}, {"0", "0", "0", ""}},
                       {},
                       k20,
                       std::nullopt},
        ValidationCase{"SecondTableUsesItsOwnPositions",
                       {{"1", "1", "3", ""}},
                       {{"1", "1", "9", ""}},
                       documents::AreaSizes{20, 4},
                       "Error row 1!! [Recive PDO --> ProfiBub OUT] Address Profibus must be between 0 and 4. "}),
    [](const ::testing::TestParamInfo<ValidationCase>& info) { return std::string(info.param.name); });

TEST(PdoAccessDisplay, CobIdShowsAsHexWithAtLeastThreeDigits) {
    EXPECT_EQ(canopen::cobIdDisplay("385"), "$181");
    EXPECT_EQ(canopen::cobIdDisplay("$181"), "$181");
    EXPECT_EQ(canopen::cobIdDisplay("10"), "$00A");
    EXPECT_EQ(canopen::cobIdDisplay("0x12345"), "$12345");
    EXPECT_EQ(canopen::cobIdDisplay("abc"), "$000");
}

TEST(PdoAccessAreaSizes, MissingOrDamagedSettingsGive244) {
    testing_support::TempDir project;
    EXPECT_EQ(canopen::readPdoAreaSizes(project / "pargen.xml"), (documents::AreaSizes{244, 244}));
    testing_support::writeFile(project / "pargen.xml", "<Par_Gen><Profi_NB_IN>20</Profi_NB_IN></Par_Gen>");
    EXPECT_EQ(canopen::readPdoAreaSizes(project / "pargen.xml"), (documents::AreaSizes{20, 244}));
    testing_support::writeFile(project / "pargen.xml", "<Par_Gen><Profi_NB_IN>20</Profi");
    EXPECT_EQ(canopen::readPdoAreaSizes(project / "pargen.xml"), (documents::AreaSizes{244, 244}));
}

}  // namespace
