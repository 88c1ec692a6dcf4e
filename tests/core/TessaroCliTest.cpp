#include "cli/TessaroCli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/NotWellFormed.h"
#include "support/ProgramRun.h"
#include "support/TestFiles.h"

namespace {

using testing_support::TempDir;

struct Outcome {
    int exitCode;
    std::string out, err;
};

Outcome runInProcess(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int exitCode = cli::runCli(args, out, err);
    return {exitCode, out.str(), err.str()};
}

// Runs the real tessaro-cli with its output streams in files of scratch.
Outcome runProgram(const std::vector<std::string>& args, const TempDir& scratch) {
    const std::string outPath = scratch / "stdout", errPath = scratch / "stderr";
    const int exitCode = testing_support::runProgram(TESSARO_CLI_PROGRAM, args, outPath, errPath);
    if (exitCode < 0) {
        ADD_FAILURE() << "tessaro-cli did not run to its end";
        return {-1, "", ""};
    }
    return {exitCode, testing_support::readFile(outPath), testing_support::readFile(errPath)};
}

enum class Runner { InProcess, Program };

// Texts of a case may name the project folder as "{dir}" and a fixture as "@data:<path below tests/data>".
struct CliCase {
    const char* name;
    std::map<std::string, std::string> files;  // made in the project folder before the run
    std::vector<std::string> args;
    int exitCode;
    std::string out;                           // "{usage}": the help text; may name "{dir}"
    std::string err;                           // "{usage-error}": a usage message naming the problem
    std::map<std::string, std::string> after;  // files after the run; "{absent}": no such file
};

void PrintTo(const CliCase& c, std::ostream* os) {
    *os << c.name;
}

// "{dir}" stands for the folder; a path below it is written with "/" and
// given in the platform's form.
std::string expand(std::string text, const TempDir& dir) {
    for (auto at = text.find("{dir}"); at != std::string::npos; at = text.find("{dir}")) {
        const std::size_t end = std::min(text.find_first_of("\" \n", at), text.size());
        text.replace(at, end - at, dir.path() + testing_support::nativePath(text.substr(at + 5, end - at - 5)));
    }
    if (text.rfind("@data:", 0) == 0) return testing_support::readFile(testing_support::testData(text.substr(6)));
    return text;
}

class TessaroCli : public ::testing::TestWithParam<std::tuple<CliCase, Runner>> {};

TEST_P(TessaroCli, ExitCodeOutputAndFiles) {
    const auto& [c, runner] = GetParam();
    TempDir project, scratch;
    for (const auto& [name, contents] : c.files) {
        if (name.back() == '/') {
            std::filesystem::create_directories(project / name);
        } else {
            testing_support::writeFile(project / name, expand(contents, project));
        }
    }
    std::vector<std::string> args;
    for (const std::string& arg : c.args) args.push_back(expand(arg, project));

    const Outcome outcome = runner == Runner::InProcess ? runInProcess(args) : runProgram(args, scratch);
    EXPECT_EQ(outcome.exitCode, c.exitCode);
    if (c.out == "{usage}") {
        EXPECT_EQ(outcome.out.rfind("Usage: tessaro-cli COMMAND", 0), 0u) << outcome.out;
        EXPECT_NE(outcome.out.find("Exit status: 0"), std::string::npos) << outcome.out;
    } else {
        EXPECT_EQ(outcome.out, expand(c.out, project));
    }
    if (c.err == "{usage-error}") {
        EXPECT_EQ(outcome.err.rfind("tessaro-cli: ", 0), 0u) << outcome.err;
        EXPECT_NE(outcome.err.find("\nUsage: tessaro-cli image PROJECT_DIR"), std::string::npos) << outcome.err;
    } else {
        EXPECT_EQ(outcome.err, expand(c.err, project));
    }
    for (const auto& [name, contents] : c.after) {
        if (contents == "{absent}") {
            EXPECT_FALSE(testing_support::exists(project / name)) << name;
        } else if (testing_support::exists(project / name)) {
            EXPECT_EQ(testing_support::readFile(project / name), expand(contents, project)) << name;
        } else {
            ADD_FAILURE() << name << " was not written";
        }
    }
}

std::string caseName(const ::testing::TestParamInfo<std::tuple<CliCase, Runner>>& info) {
    return std::string(std::get<0>(info.param).name) +
           (std::get<1>(info.param) == Runner::InProcess ? "_InProcess" : "_Program");
}

std::string pargen(const std::string& serId, const std::string& profiId, const std::string& nByteIn,
                   const std::string& nByteOut) {
    return "<Par_Gen><Ser_Baud>7</Ser_Baud><Ser_Par>0</Ser_Par><Ser_ID>" + serId +
           "</Ser_ID><Ser_Type>1</Ser_Type><Ser_Prot>0</Ser_Prot><Profi_ID>" + profiId +
           "</Profi_ID><Profi_Baud>10</Profi_Baud><Profi_NB_IN>" + nByteIn + "</Profi_NB_IN><Profi_NB_OUT>" + nByteOut +
           "</Profi_NB_OUT></Par_Gen>";
}

std::string sdo(const std::string& inRows, const std::string& outRows) {
    return "<Serial_to_ProfiBus><ProfiBUS_IN>" + inRows + "</ProfiBUS_IN><ProfiBUS_OUT>" + outRows +
           "</ProfiBUS_OUT></Serial_to_ProfiBus>";
}

std::string row(const std::string& address, const std::string& high, const std::string& low) {
    return "<row Address=\"" + address + "\" Add_Profi_Hi=\"" + high + "\" Add_Profi_Lo=\"" + low +
           "\" Mnemonic=\"\"/>";
}

const auto kRunners = ::testing::Values(Runner::InProcess, Runner::Program);

INSTANTIATE_TEST_SUITE_P(
    Image, TessaroCli,
    ::testing::Combine(
        ::testing::Values(CliCase{"WritesTheImage",
                                  {{"bin/", ""},
                                   {"pargen.xml", "@data:image/worked-example/pargen.xml"},
                                   {"sdo.xml", "@data:image/worked-example/sdo.xml"}},
                                  {"image", "{dir}"},
                                  0,
                                  "",
                                  "",
                                  {{"bin/bank.bin", "@data:image/worked-example/bank.bin"}}},
                          CliCase{"DamagedDocumentLeavesTheEarlierImage",
                                  {{"bin/bank.bin", "earlier"}, {"pargen.xml", pargen("abc", "1", "244", "244")}},
                                  {"image", "{dir}"},
                                  1,
                                  "",
                                  "pargen.xml, Ser_ID: 'abc' is not a valid integer value\n",
                                  {{"bin/bank.bin", "earlier"}}},
                          CliCase{
                              "DamagedRowNamesItsPlace",
                              {{"bin/bank.bin", "earlier"}, {"sdo.xml", sdo(row("1", "0", "1"), row("2", "x", "0"))}},
                              {"image", "{dir}"},
                              1,
                              "",
                              "sdo.xml, ProfiBUS_OUT row 1, Add_Profi_Hi: 'x' is not a valid integer value\n",
                              {{"bin/bank.bin", "earlier"}}},
                          CliCase{"StoredValuesTheWindowsRefuseWarn",
                                  {{"bin/", ""}, {"pargen.xml", pargen("0", "1", "244", "244")}},
                                  {"image", "{dir}"},
                                  0,
                                  "",
                                  "tessaro-cli: warning: Error!! CANOpen address must be between 1 and 255. \n",
                                  {}},
                          CliCase{"TrailingSeparatorGivesOneSeparator",
                                  {{"sdo.xml", sdo(row("1", "0", "1"), "")}},
                                  {"image", "{dir}//"},
                                  1,
                                  "",
                                  "Cannot create file \"{dir}/bin/bank.bin\". No such file or directory\n",
                                  {{"bin", "{absent}"}}},
                          CliCase{"FileAsProjectFolder",
                                  {{"plain", "x"}},
                                  {"image", "{dir}/plain"},
                                  1,
                                  "",
                                  "Project folder \"{dir}/plain\" is not a folder\n",
                                  {{"plain", "x"}}},
                          CliCase{"NoBinFolder",
                                  {{"sdo.xml", sdo(row("1", "0", "1"), "")}},
                                  {"image", "{dir}"},
                                  1,
                                  "",
                                  "Cannot create file \"{dir}/bin/bank.bin\". No such file or directory\n",
                                  {{"bin", "{absent}"}}},
                          CliCase{"NoProjectFolder",
                                  {},
                                  {"image", "{dir}/none"},
                                  1,
                                  "",
                                  "Project folder \"{dir}/none\" not found\n",
                                  {{"none", "{absent}"}}}),
        kRunners),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Gsd, TessaroCli,
    ::testing::Combine(
        ::testing::Values(CliCase{"WritesTheFile",
                                  {{"pargen.xml", "@data:gsd/worked-example/pargen.xml"}},
                                  {"gsd", "{dir}", "{dir}/device.gsd"},
                                  0,
                                  "",
                                  "",
                                  {{"device.gsd", "@data:gsd/worked-example/expected.gsd"}}},
                          CliCase{"FileCannotBeCreated",
                                  {},
                                  {"gsd", "{dir}", "{dir}/none/device.gsd"},
                                  1,
                                  "",
                                  "Cannot create file \"{dir}/none/device.gsd\". No such file or "
                                  "directory\n",
                                  {{"none", "{absent}"}}},
                          CliCase{"DamagedSettings",
                                  {{"pargen.xml", "<Par_Gen>"}, {"device.gsd", "earlier"}},
                                  {"gsd", "{dir}", "{dir}/device.gsd"},
                                  1,
                                  "",
                                  "pargen.xml: Premature end of data in tag Par_Gen line 1 (line 1, column 10) in "
                                  "\"{dir}/pargen.xml\"\n",
                                  {{"device.gsd", "earlier"}}},
                          CliCase{"StoredValuesTheWindowsRefuseWarn",
                                  {{"pargen.xml", pargen("1", "200", "0", "0")}},
                                  {"gsd", "{dir}/", "{dir}/device.gsd"},
                                  0,
                                  "",
                                  "tessaro-cli: warning: Error!! ProfiBus address must be between 1 and 125. \n",
                                  {{"device.gsd", "@data:gsd/no-pargen/expected.gsd"}}}),
        kRunners),
    caseName);

const std::string kInCaption = "!! [ProfiBus IN --> Serial Read] ";

INSTANTIATE_TEST_SUITE_P(
    Check, TessaroCli,
    ::testing::Combine(
        ::testing::Values(
            CliCase{"EmptyProjectPasses", {}, {"check", "{dir}"}, 0, "", "", {}},
            CliCase{"StoredProjectPasses",
                    {{"pargen.xml", pargen("255", "125", "20", "0")},
                     {"sdo.xml", sdo(row("$FFFF", "20", "0") + row("", "x", "x") + row("bad", "", ""), "")}},
                    {"check", "{dir}"},
                    0,
                    "",
                    "",
                    {}},
            CliCase{"FirstFieldMessageOnly",
                    {{"pargen.xml", pargen("0", "200", "245", "-1")}},
                    {"check", "{dir}"},
                    1,
                    "",
                    "Error!! CANOpen address must be between 1 and 255. \n",
                    {}},
            CliCase{"NByteOutAsStored",
                    {{"pargen.xml", pargen("1", "1", "0", "abc")}},
                    {"check", "{dir}"},
                    1,
                    "",
                    "Error!! ProfiBus N Byte OUT must be between 0 and 244. \n",
                    {}},
            CliCase{
                "SettingsWithoutSerialId",
                {{"pargen.xml", "<Par_Gen><Ser_Baud>7</Ser_Baud><Ser_Par>0</Ser_Par><Ser_Type>1</Ser_Type></Par_Gen>"}},
                {"check", "{dir}"},
                1,
                "",
                "Element \"Ser_ID\" not found in \"{dir}/pargen.xml\"\n",
                {}},
            CliCase{"AccessRowAgainstTheStoredAreaSize",
                    {{"pargen.xml", pargen("1", "1", "20", "244")},
                     {"sdo.xml", sdo(row("1", "0", "20") + row("2", "21", "0"), row("x", "0", "0"))}},
                    {"check", "{dir}"},
                    1,
                    "",
                    "Error row 2" + kInCaption + "Address Profibus High must be between 0 and 20. \n",
                    {}},
            CliCase{"AccessRowsWithoutSettingsUse244",
                    {{"sdo.xml", sdo(row("1", "244", "244"), row("2", "0", "245"))}},
                    {"check", "{dir}"},
                    1,
                    "",
                    "Error row 1!! [Serial Write --> ProfiBus OUT] Address Profibus Low must be between 0 and "
                    "244. \n",
                    {}},
            CliCase{"DamagedAccessTables",
                    {{"sdo.xml", sdo(row("1", "0", "0"), "<row Address=\"1\"/>")}},
                    {"check", "{dir}"},
                    1,
                    "",
                    "sdo.xml: Row 1 of \"ProfiBUS_OUT\" in \"{dir}/sdo.xml\" has no attribute \"Add_Profi_Hi\"\n",
                    {}}),
        kRunners),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Map, TessaroCli,
    ::testing::Combine(
        ::testing::Values(
            CliCase{"PrintsTheMapWithWarnings",
                    {{"pargen.xml", pargen("1", "1", "2", "0")}, {"sdo.xml", sdo(row("$10", "1", "1"), "")}},
                    {"map", "{dir}"},
                    0,
                    "Address map of {dir}\n"
                    "GSD file: Max_Input_Len=0 (N Byte OUT), Max_Output_Len=2 (N Byte IN)\n"
                    "\n"
                    "ProfiBus IN --> Serial Read: 2 bytes of N Byte IN, the master's output (DO modules)\n"
                    "Row  Register     High  Module       Offset  Low  Module       Offset  Mnemonic\n"
                    "  1  16 (0x0010)     1  DO  (PORT1)       1    1  DO  (PORT1)       1\n"
                    "\n"
                    "Serial Write --> ProfiBus OUT: 0 bytes of N Byte OUT, the master's input (DI modules)\n"
                    "(no rows)\n"
                    "\n"
                    "warning: ProfiBus IN --> Serial Read: byte 1 (DO  (PORT1) offset 1) is used more than once: "
                    "row 1 high, row 1 low\n"
                    "warning: ProfiBus IN --> Serial Read: byte 0 is used by no row\n",
                    "",
                    {}},
            CliCase{"DamagedAccessTablesWriteNoPage",
                    {{"sdo.xml", "<Serial_to_ProfiBus><ProfiBUS_IN/></Serial_to_ProfiBus>"}, {"map.html", "earlier"}},
                    {"map", "{dir}", "--html", "{dir}/map.html"},
                    1,
                    "",
                    "Element \"ProfiBUS_OUT\" not found in \"{dir}/sdo.xml\"\n",
                    {{"map.html", "earlier"}}},
            CliCase{"PageCannotBeWritten",
                    {},
                    {"map", "{dir}", "--html", "{dir}/none/map.html"},
                    1,
                    "",
                    "Cannot create file \"{dir}/none/map.html\". No such file or directory\n",
                    {{"none", "{absent}"}}},
            CliCase{
                "NoProjectFolder", {}, {"map", "{dir}/none"}, 1, "", "Project folder \"{dir}/none\" not found\n", {}},
            CliCase{"PageWithoutFile", {}, {"map", "{dir}", "--html"}, 2, "", "{usage-error}", {}},
            CliCase{"TwoProjects", {}, {"map", "{dir}", "{dir}"}, 2, "", "{usage-error}", {}},
            CliCase{"UnknownOption",
                    {},
                    {"map", "--pdf", "{dir}/map.pdf", "{dir}"},
                    2,
                    "",
                    "{usage-error}",
                    {{"map.pdf", "{absent}"}}}),
        kRunners),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Usage, TessaroCli,
    ::testing::Combine(
        ::testing::Values(CliCase{"LongHelp", {}, {"--help"}, 0, "{usage}", "", {}},
                          CliCase{"ShortHelpAfterACommand", {}, {"check", "-h"}, 0, "{usage}", "", {}},
                          // The version is the project version that CMakeLists.txt gives the build.
                          CliCase{"Version", {}, {"--version"}, 0, "tessaro-cli " TESSARO_VERSION "\n", "", {}},
                          CliCase{"NoCommand", {}, {}, 2, "", "{usage-error}", {}},
                          CliCase{"UnknownCommand", {}, {"build", "{dir}"}, 2, "", "{usage-error}", {}},
                          CliCase{"MissingArgument", {{"bin/", ""}}, {"gsd", "{dir}"}, 2, "", "{usage-error}", {}},
                          CliCase{"ExtraArgument",
                                  {{"bin/", ""}},
                                  {"image", "{dir}", "{dir}"},
                                  2,
                                  "",
                                  "{usage-error}",
                                  {{"bin/bank.bin", "{absent}"}}},
                          CliCase{"UnknownOption",
                                  {{"bin/", ""}},
                                  {"image", "--force", "{dir}"},
                                  2,
                                  "",
                                  "{usage-error}",
                                  {{"bin/bank.bin", "{absent}"}}}),
        kRunners),
    caseName);

TEST(TessaroCliUsage, NamesTheProblem) {
    EXPECT_EQ(runInProcess({"build"}).err.rfind("tessaro-cli: unknown command 'build'\n", 0), 0u);
    EXPECT_EQ(runInProcess({"gsd", "x"}).err.rfind("tessaro-cli: 'gsd' takes PROJECT_DIR and FILE\n", 0), 0u);
    EXPECT_EQ(runInProcess({"image", "-x"}).err.rfind("tessaro-cli: unknown option '-x'\n", 0), 0u);
    EXPECT_EQ(runInProcess({"map"}).err.rfind("tessaro-cli: 'map' takes PROJECT_DIR and optionally --html FILE\n", 0),
              0u);
    EXPECT_EQ(runInProcess({"map", "x", "--html"}).err.rfind("tessaro-cli: '--html' takes a FILE\n", 0), 0u);
    EXPECT_EQ(
        runInProcess({"map", "--html", "a", "--html", "b", "x"}).err.rfind("tessaro-cli: '--html' given twice\n", 0),
        0u);
}

// image, gsd and check refuse a document that is not well-formed with the
// parser's description, exit 1 and write nothing.
class TessaroCliNotWellFormed : public ::testing::TestWithParam<testing_support::NotWellFormed> {};

TEST_P(TessaroCliNotWellFormed, IsRefusedByEveryCommand) {
    TempDir dir, scratch;
    testing_support::writeFile(dir / "bin/bank.bin", "earlier");
    for (const char* file : {"pargen.xml", "sdo.xml"}) {
        std::filesystem::remove(dir / "pargen.xml");
        std::filesystem::remove(dir / "sdo.xml");
        testing_support::writeFile(dir / file, GetParam().text);
        const std::string message = std::string(GetParam().message) + " in \"" + (dir / file) + "\"\n";
        std::vector<std::vector<std::string>> commands = {{"image", dir.path()}, {"check", dir.path()}};
        // The GSD file reads only pargen.xml.
        if (std::string(file) == "pargen.xml") commands.push_back({"gsd", dir.path(), dir / "device.gsd"});
        for (const std::vector<std::string>& args : commands) {
            for (const Outcome& outcome : {runInProcess(args), runProgram(args, scratch)}) {
                EXPECT_EQ(outcome.exitCode, 1) << file << " " << args[0];
                EXPECT_EQ(outcome.out, "") << file << " " << args[0];
                ASSERT_GE(outcome.err.size(), message.size()) << outcome.err;
                EXPECT_EQ(outcome.err.substr(outcome.err.size() - message.size()), message) << file << " " << args[0];
            }
        }
        EXPECT_EQ(testing_support::readFile(dir / "bin/bank.bin"), "earlier");
        EXPECT_FALSE(std::filesystem::exists(dir / "device.gsd"));
        EXPECT_EQ(testing_support::readFile(dir / file), GetParam().text);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, TessaroCliNotWellFormed, ::testing::ValuesIn(testing_support::notWellFormedDocuments()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
