// Hostile and odd inputs for every tessaro-cli command, through the real
// program: paths that cannot be examined, documents that are no regular file,
// flat entity expansion, junk after a NUL, standard output that cannot be
// written, huge values, names near the system's limit and odd arguments.
// Each case states the exit code, the message, and which files may change:
// every other file of the project folder must be left exactly as it was.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/ProgramRun.h"
#include "support/TestFiles.h"

namespace {

using testing_support::TempDir;
namespace fs = std::filesystem;

struct CliRun {
    int exitCode;
    std::string out, err;
};

std::string pargen(const std::string& serBaud, const std::string& serPar, const std::string& profiBaud) {
    return "<Par_Gen><Ser_Baud>" + serBaud + "</Ser_Baud><Ser_Par>" + serPar +
           "</Ser_Par><Ser_ID>1</Ser_ID><Ser_Type>1</Ser_Type><Ser_Prot>0</Ser_Prot><Profi_ID>1</Profi_ID>"
           "<Profi_Baud>" +
           profiBaud + "</Profi_Baud><Profi_NB_IN>20</Profi_NB_IN><Profi_NB_OUT>100</Profi_NB_OUT></Par_Gen>";
}

const std::string kPargen = pargen("7", "0", "10");

// An sdo.xml whose input group holds count rows; row `odd` has the address oddAddress.
std::string sdoWithRows(int count, int odd, const std::string& oddAddress) {
    std::string rows;
    for (int i = 1; i <= count; ++i) {
        rows += "<row Address=\"" + (i == odd ? oddAddress : std::to_string(i)) +
                "\" Add_Profi_Hi=\"0\" Add_Profi_Lo=\"1\" Mnemonic=\"\"/>";
    }
    return "<Serial_to_ProfiBus><ProfiBUS_IN>" + rows + "</ProfiBUS_IN><ProfiBUS_OUT/></Serial_to_ProfiBus>";
}

// A document that declares one entity of size bytes and uses it uses times in
// one attribute: tens of megabytes once expanded.
std::string flatEntities(const std::string& root, std::size_t size, int uses) {
    std::string text = "<!DOCTYPE " + root + " [<!ENTITY e \"" + std::string(size, 'a') + "\">]><" + root + "><r a=\"";
    for (int i = 0; i < uses; ++i) text += "&e;";
    return text + "\"/></" + root + ">";
}

// Everything below a folder, links not followed: type and, for regular files,
// the contents. Two equal snapshots mean nothing was touched.
std::map<std::string, std::string> snapshot(const std::string& folder) {
    std::map<std::string, std::string> entries;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const std::string name = it->path().lexically_relative(folder).string();
        const fs::file_status status = fs::symlink_status(it->path());
        if (fs::is_symlink(status)) {
            entries[name] = "link to " + fs::read_symlink(it->path()).string();
        } else if (fs::is_regular_file(status)) {
            entries[name] = "file " + testing_support::readFile(it->path().string());
        } else if (fs::is_directory(status)) {
            entries[name] = "folder";
            // Do not descend into folders made unreadable by a case.
            if ((status.permissions() & fs::perms::owner_exec) == fs::perms::none) it.disable_recursion_pending();
        } else {
            entries[name] = "other";
        }
    }
    return entries;
}

const std::string kLongName(300, 'n');

// A path below folder longer than PATH_MAX, of folders that need not exist.
std::string beyondPathMax(const std::string& folder) {
    std::string path = folder;
    while (path.size() <= PATH_MAX) path += "/" + std::string(200, 'd');
    return path;
}

// The table below leaves a case's trailing members at their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

struct HostileCase {
    const char* name;
    // Makes the project folder's contents; dir is the folder.
    std::function<void(const std::string& dir)> setup;
    // "{dir}" stands for the project folder, "{beyond}" for a path longer than PATH_MAX.
    std::vector<std::string> args;
    int exitCode;
    std::string errHas;                // a part of standard error ("{dir}" expanded); "" for none at all
    std::set<std::string> changes;     // files that may be written, relative to the folder
    const char* stdoutPath = nullptr;  // where standard output goes; nullptr: a file of the test
    bool inFolder = false;             // run with the project folder as working folder
    bool needsPermissions = false;     // meaningless for root, who may search any folder
    std::function<void(const std::string& dir, const CliRun& run)> more = nullptr;  // further checks
};

void PrintTo(const HostileCase& c, std::ostream* os) {
    *os << c.name;
}

std::string expand(std::string text, const std::string& dir) {
    for (const auto& [key, value] : {std::pair<std::string, std::string>{"{beyond}", beyondPathMax(dir)},
                                     std::pair<std::string, std::string>{"{dir}", dir}}) {
        for (auto at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
            text.replace(at, key.size(), value);
    }
    return text;
}

class CliHostileInputs : public ::testing::TestWithParam<HostileCase> {};

TEST_P(CliHostileInputs, FailsClearlyAndTouchesNothingElse) {
    const HostileCase& c = GetParam();
    if (c.needsPermissions && ::geteuid() == 0) GTEST_SKIP() << "root may search any folder";
    TempDir project, scratch;
    c.setup(project.path());
    const std::map<std::string, std::string> before = snapshot(project.path());

    std::vector<std::string> args;
    for (const std::string& arg : c.args) args.push_back(expand(arg, project.path()));
    const std::string outPath = c.stdoutPath ? c.stdoutPath : scratch / "stdout";
    const fs::path previous = fs::current_path();
    if (c.inFolder) fs::current_path(project.path());
    const int exitCode = testing_support::runProgram(TESSARO_CLI_PROGRAM, args, outPath, scratch / "stderr");
    if (c.inFolder) fs::current_path(previous);
    const CliRun run{exitCode, c.stdoutPath ? "" : testing_support::readFile(outPath),
                     testing_support::readFile(scratch / "stderr")};

    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    if (c.errHas.empty()) {
        EXPECT_EQ(run.err, "");
    } else {
        EXPECT_NE(run.err.find(expand(c.errHas, project.path())), std::string::npos) << run.err;
        // A quoted value never floods the message; a path it names is given whole.
        std::size_t named = 0;
        for (const std::string& arg : args) named += arg.size();
        EXPECT_LT(run.err.size(), 2000u + named) << run.err.substr(0, 2000);
    }

    std::map<std::string, std::string> after = snapshot(project.path());
    for (const std::string& name : c.changes) {
        after.erase(name);
    }
    std::map<std::string, std::string> expectedAfter = before;
    for (const std::string& name : c.changes) expectedAfter.erase(name);
    EXPECT_EQ(after.size(), expectedAfter.size());
    for (const auto& [name, what] : expectedAfter) {
        const auto found = after.find(name);
        if (found == after.end()) {
            ADD_FAILURE() << name << " is gone";
        } else {
            EXPECT_TRUE(found->second == what) << name << " was changed";
        }
    }
    for (const auto& [name, what] : after) {
        EXPECT_TRUE(expectedAfter.count(name)) << name << " was written";
    }
    if (c.more) c.more(project.path(), run);
}

void nothing(const std::string&) {}

void write(const std::string& path, const std::string& text) {
    testing_support::writeFile(path, text);
}

void fifo(const std::string& path) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
}

void link(const std::string& target, const std::string& path) {
    fs::create_symlink(target, path);
}

std::string bytesOf(const std::string& path) {
    return testing_support::readFile(path);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, CliHostileInputs,
    ::testing::Values(
        HostileCase{"ImageProjectNameTooLong",
                    nothing,
                    {"image", "{dir}/" + kLongName},
                    1,
                    "Project folder \"{dir}/" + kLongName + "\" cannot be examined: File name too long"},
        HostileCase{"GsdProjectNameTooLong",
                    nothing,
                    {"gsd", "{dir}/" + kLongName, "{dir}/out.gsd"},
                    1,
                    "Project folder \"{dir}/" + kLongName + "\" cannot be examined: File name too long"},
        HostileCase{
            "CheckPathBeyondPathMax", nothing, {"check", "{beyond}"}, 1, "cannot be examined: File name too long"},
        HostileCase{"MapPathBeyondPathMax", nothing, {"map", "{beyond}"}, 1, "cannot be examined: File name too long"},
        HostileCase{"ExportProjectNameTooLong",
                    nothing,
                    {"export", "{dir}/" + kLongName, "emcydef"},
                    1,
                    "cannot be examined: File name too long"},
        HostileCase{"CheckParentWithoutSearchPermission",
                    [](const std::string& dir) {
                        fs::create_directories(dir + "/locked/project");
                        fs::permissions(dir + "/locked", fs::perms::owner_read | fs::perms::owner_write);
                    },
                    {"check", "{dir}/locked/project"},
                    1,
                    "Project folder \"{dir}/locked/project\" cannot be examined: Permission denied",
                    {},
                    nullptr,
                    false,
                    true},
        HostileCase{"GsdFileNameOf255Characters",
                    [](const std::string& dir) { write(dir + "/pargen.xml", kPargen); },
                    {"gsd", "{dir}", "{dir}/" + std::string(251, 'g') + ".gsd"},
                    0,
                    "",
                    {std::string(251, 'g') + ".gsd"},
                    nullptr,
                    false,
                    false,
                    [](const std::string& dir, const CliRun&) {
                        EXPECT_NE(bytesOf(dir + "/" + std::string(251, 'g') + ".gsd").find("Max_Input_Len=100\r\n"),
                                  std::string::npos);
                    }},
        HostileCase{"MapPageNameOf234Characters",
                    [](const std::string& dir) { write(dir + "/pargen.xml", kPargen); },
                    {"map", "{dir}", "--html", "{dir}/" + std::string(229, 'm') + ".html"},
                    0,
                    "",
                    {std::string(229, 'm') + ".html"},
                    nullptr,
                    false,
                    false,
                    [](const std::string& dir, const CliRun&) {
                        EXPECT_EQ(bytesOf(dir + "/" + std::string(229, 'm') + ".html").rfind("<!DOCTYPE html>", 0), 0u);
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    NoRegularFile, CliHostileInputs,
    ::testing::Values(
        HostileCase{"ImagePargenDanglingLink",
                    [](const std::string& dir) {
                        fs::create_directory(dir + "/bin");
                        link(dir + "/nowhere.xml", dir + "/pargen.xml");
                    },
                    {"image", "{dir}"},
                    1,
                    "pargen.xml: Cannot read file \"{dir}/pargen.xml\". It is a symbolic link to nothing"},
        HostileCase{"CheckPargenFolder",
                    [](const std::string& dir) { fs::create_directory(dir + "/pargen.xml"); },
                    {"check", "{dir}"},
                    1,
                    "Cannot read file \"{dir}/pargen.xml\". It is a folder"},
        HostileCase{"ImagePargenFifo",
                    [](const std::string& dir) {
                        fs::create_directory(dir + "/bin");
                        fifo(dir + "/pargen.xml");
                    },
                    {"image", "{dir}"},
                    1,
                    "pargen.xml: Cannot read file \"{dir}/pargen.xml\". It is a FIFO, not a file"},
        HostileCase{"CheckPargenDevice",
                    [](const std::string& dir) { link("/dev/zero", dir + "/pargen.xml"); },
                    {"check", "{dir}"},
                    1,
                    "Cannot read file \"{dir}/pargen.xml\". It is a device, not a file"},
        HostileCase{"GsdPargenFifo",
                    [](const std::string& dir) { fifo(dir + "/pargen.xml"); },
                    {"gsd", "{dir}", "{dir}/out.gsd"},
                    1,
                    "It is a FIFO, not a file"},
        HostileCase{"MapPargenDevice",
                    [](const std::string& dir) { link("/dev/zero", dir + "/pargen.xml"); },
                    {"map", "{dir}"},
                    1,
                    "It is a device, not a file"},
        HostileCase{"CheckSdoFifo",
                    [](const std::string& dir) { fifo(dir + "/sdo.xml"); },
                    {"check", "{dir}"},
                    1,
                    "sdo.xml: Cannot read file \"{dir}/sdo.xml\". It is a FIFO, not a file"},
        HostileCase{"ImageSdoDanglingLink",
                    [](const std::string& dir) {
                        fs::create_directory(dir + "/bin");
                        link(dir + "/nowhere.xml", dir + "/sdo.xml");
                    },
                    {"image", "{dir}"},
                    1,
                    "sdo.xml: Cannot read file \"{dir}/sdo.xml\". It is a symbolic link to nothing"},
        HostileCase{"ImportFromFifo",
                    [](const std::string& dir) { fifo(dir + "/book.xls"); },
                    {"import", "{dir}", "emcydef", "{dir}/book.xls"},
                    1,
                    "'{dir}/book.xls' is not an Excel workbook (a FIFO, not a file)"},
        HostileCase{"ImportFromFolder",
                    [](const std::string& dir) { fs::create_directory(dir + "/book.xls"); },
                    {"import", "{dir}", "emcydef", "{dir}/book.xls"},
                    1,
                    "'{dir}/book.xls' is not an Excel workbook (a folder)"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Documents, CliHostileInputs,
    ::testing::Values(
        HostileCase{"ExportFlatEntitiesInEmcydef",
                    [](const std::string& dir) { write(dir + "/emcydef.xml", flatEntities("emcydef", 100000, 2000)); },
                    {"export", "{dir}", "emcydef"},
                    1,
                    "Error in reading file XML"},
        HostileCase{"ExportFlatEntitiesInRpdodef",
                    [](const std::string& dir) { write(dir + "/rpdodef.xml", flatEntities("rpdodef", 100000, 20000)); },
                    {"export", "{dir}", "rpdodef"},
                    1,
                    "Error in reading file XML"},
        HostileCase{"CheckFlatEntitiesInPargen",
                    [](const std::string& dir) {
                        std::string uses;
                        for (int i = 0; i < 20; ++i) uses += "&e;";
                        write(dir + "/pargen.xml",
                              "<!DOCTYPE Par_Gen [<!ENTITY e \"" + std::string(100000, '1') +
                                  "\">]><Par_Gen><Ser_Baud>7</Ser_Baud><Ser_Par>0</Ser_Par><Ser_ID>" + uses +
                                  "</Ser_ID></Par_Gen>");
                    },
                    {"check", "{dir}"},
                    1,
                    "Entity references expand to more than 1000000 characters (entity \"e\") in "
                    "\"{dir}/pargen.xml\"\n"},
        HostileCase{
            "CheckNulAfterTheRoot",
            [](const std::string& dir) { write(dir + "/pargen.xml", kPargen + std::string(1, '\0') + "<junk"); },
            {"check", "{dir}"},
            1,
            "Content after the end of the document (a NUL character)"},
        HostileCase{"ImageNulAfterTheRoot",
                    [](const std::string& dir) {
                        write(dir + "/bin/bank.bin", "earlier");
                        write(dir + "/sdo.xml", sdoWithRows(1, 0, "") + std::string(1, '\0') + "</x>");
                    },
                    {"image", "{dir}"},
                    1,
                    "sdo.xml: Content after the end of the document (a NUL character)"},
        HostileCase{"HugeValueIsCutShort",
                    [](const std::string& dir) {
                        write(dir + "/pargen.xml", pargen(std::string(1000000, '9') + "x", "0", "10"));
                    },
                    {"check", "{dir}"},
                    1,
                    "'" + std::string(60, '9') + "\xE2\x80\xA6' is not a valid integer value"},
        HostileCase{"HugeValueInImageIsCutShort",
                    [](const std::string& dir) {
                        write(dir + "/bin/bank.bin", "earlier");
                        write(dir + "/sdo.xml", sdoWithRows(3, 2, std::string(1000000, 'z')));
                    },
                    {"image", "{dir}"},
                    1,
                    "sdo.xml, ProfiBUS_IN row 2, Address: '" + std::string(60, 'z') +
                        "\xE2\x80\xA6' is not a valid integer value"}),
    [](const auto& info) { return std::string(info.param.name); });

const std::string kTooManyRows =
    "Error!! [ProfiBus IN --> Serial Read] 300 rows are stored; a table holds at most 244. ";

// A pargen.xml as an XML editor writes it: a declaration, a comment or a
// document type before the root.
std::string prologue(const std::string& before) {
    return before + "\n" + kPargen;
}

INSTANTIATE_TEST_SUITE_P(
    Agreement, CliHostileInputs,
    ::testing::Values(
        HostileCase{"CheckReadsEveryRow",
                    [](const std::string& dir) { write(dir + "/sdo.xml", sdoWithRows(300, 271, "99999")); },
                    {"check", "{dir}"},
                    1,
                    kTooManyRows},
        HostileCase{"ImagePacksEveryRowAndWarns",
                    [](const std::string& dir) {
                        fs::create_directory(dir + "/bin");
                        write(dir + "/sdo.xml", sdoWithRows(300, 271, "99999"));
                    },
                    {"image", "{dir}"},
                    0,
                    "tessaro-cli: warning: " + kTooManyRows + "\n",
                    {"bin/bank.bin"},
                    nullptr,
                    false,
                    false,
                    [](const std::string& dir, const CliRun& run) {
                        EXPECT_EQ(run.err, "tessaro-cli: warning: " + kTooManyRows + "\n");
                        const std::string image = bytesOf(dir + "/bin/bank.bin");
                        ASSERT_EQ(image.size(), 12u + 4u * 300u);
                        EXPECT_EQ(image.substr(8, 4), std::string("\x2C\x01\x00\x00", 4));
                        // 99999 is packed as its low 16 bits, 0x869F, as the image always packs.
                        EXPECT_EQ(image.substr(12 + 4 * 270, 2), "\x9F\x86");
                    }},
        HostileCase{"CheckRefusesPargenWithADeclaration",
                    [](const std::string& dir) {
                        write(dir + "/pargen.xml", prologue("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
                    },
                    {"check", "{dir}"},
                    1,
                    "Element \"Ser_Baud\" not found in \"{dir}/pargen.xml\""},
        HostileCase{"ImageRefusesPargenWithAComment",
                    [](const std::string& dir) {
                        fs::create_directory(dir + "/bin");
                        write(dir + "/pargen.xml", prologue("<!-- written by an editor -->"));
                    },
                    {"image", "{dir}"},
                    1,
                    "pargen.xml, Ser_Baud: Element \"Ser_Baud\" not found in \"{dir}/pargen.xml\""},
        HostileCase{
            "GsdWarnsThatTheSizesWereNotFound",
            [](const std::string& dir) { write(dir + "/pargen.xml", prologue("<!DOCTYPE Par_Gen>")); },
            {"gsd", "{dir}", "{dir}/out.gsd"},
            0,
            "tessaro-cli: warning: pargen.xml: the first node of \"{dir}/pargen.xml\" is not the element "
            "Par_Gen, so Profi_NB_IN and Profi_NB_OUT were not found: the GSD file counts both areas as 0 "
            "bytes\n",
            {"out.gsd"},
            nullptr,
            false,
            false,
            [](const std::string& dir, const CliRun& run) {
                EXPECT_EQ(bytesOf(dir + "/out.gsd"), bytesOf(testing_support::testData("gsd/no-pargen/expected.gsd")));
                // check's first message follows, as for every stored value check refuses.
                EXPECT_NE(run.err.find("tessaro-cli: warning: Element \"Ser_Baud\" not found"), std::string::npos)
                    << run.err;
            }},
        HostileCase{"MapSaysTheSizesWereNotFound",
                    [](const std::string& dir) { write(dir + "/pargen.xml", prologue("<?xml version=\"1.0\"?>")); },
                    {"map", "{dir}"},
                    0,
                    "",
                    {},
                    nullptr,
                    false,
                    false,
                    [](const std::string&, const CliRun& run) {
                        EXPECT_NE(run.out.find("Max_Input_Len=0 (N Byte OUT), Max_Output_Len=0 (N Byte IN)"),
                                  std::string::npos);
                        EXPECT_NE(run.out.find("warning: the first node of pargen.xml is not the element Par_Gen"),
                                  std::string::npos)
                            << run.out;
                    }},
        HostileCase{"CheckRefusesABitRateForABaudCode",
                    [](const std::string& dir) { write(dir + "/pargen.xml", pargen("19200", "0", "10")); },
                    {"check", "{dir}"},
                    1,
                    "Error!! Ser_Baud must be a code of its list: 0 to 7, or -1 for none ('19200' is stored). \n"},
        HostileCase{"ImageWarnsAboutABaudCodeAndPacksItAsStored",
                    [](const std::string& dir) {
                        fs::create_directory(dir + "/bin");
                        write(dir + "/pargen.xml", pargen("8", "0", "10"));
                    },
                    {"image", "{dir}"},
                    0,
                    "tessaro-cli: warning: Error!! Ser_Baud must be a code of its list: 0 to 7, or -1 for none ('8' "
                    "is stored). \n",
                    {"bin/bank.bin"},
                    nullptr,
                    false,
                    false,
                    [](const std::string& dir, const CliRun&) {
                        const std::string image = bytesOf(dir + "/bin/bank.bin");
                        ASSERT_EQ(image.size(), 17u);
                        EXPECT_EQ(image[8], '\x08');
                    }},
        HostileCase{"CheckRefusesAParityCode",
                    [](const std::string& dir) { write(dir + "/pargen.xml", pargen("-1", "5", "10")); },
                    {"check", "{dir}"},
                    1,
                    "Error!! Ser_Par must be a code of its list: 0 to 2, or -1 for none ('5' is stored). \n"},
        HostileCase{"GsdWarnsAboutAProfibusBaudCode",
                    [](const std::string& dir) { write(dir + "/pargen.xml", pargen("7", "-1", "3")); },
                    {"gsd", "{dir}", "{dir}/out.gsd"},
                    0,
                    "tessaro-cli: warning: Error!! Profi_Baud must be a code of its list: 10 (Auto Baudrate) ('3' is "
                    "stored). \n",
                    {"out.gsd"}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Output, CliHostileInputs,
    ::testing::Values(HostileCase{"MapToAFullDisk",
                                  [](const std::string& dir) { write(dir + "/pargen.xml", kPargen); },
                                  {"map", "{dir}"},
                                  1,
                                  "tessaro-cli: cannot write standard output",
                                  {},
                                  "/dev/full"},
                      HostileCase{"TreeToAFullDisk",
                                  [](const std::string& dir) { write(dir + "/pargen.xml", kPargen); },
                                  {"tree", "{dir}/pargen.xml"},
                                  1,
                                  "Cannot write the tree to standard output",
                                  {},
                                  "/dev/full"},
                      HostileCase{
                          "HelpToAFullDisk", nothing, {"--help"}, 1, "cannot write standard output", {}, "/dev/full"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Arguments, CliHostileInputs,
    ::testing::Values(HostileCase{"FolderNamedDashHAfterDoubleDash",
                                  [](const std::string& dir) {
                                      fs::create_directory(dir + "/-h");
                                      write(dir + "/-h/pargen.xml", pargen("7", "0", "10"));
                                  },
                                  {"check", "--", "-h"},
                                  0,
                                  "",
                                  {},
                                  nullptr,
                                  true,
                                  false,
                                  [](const std::string&, const CliRun& run) { EXPECT_EQ(run.out, ""); }},
                      HostileCase{"FolderNamedDashHIsChecked",
                                  [](const std::string& dir) {
                                      fs::create_directory(dir + "/-h");
                                      write(dir + "/-h/pargen.xml", pargen("9", "0", "10"));
                                  },
                                  {"check", "--", "-h"},
                                  1,
                                  "Ser_Baud must be a code of its list",
                                  {},
                                  nullptr,
                                  true},
                      HostileCase{"MapPageNamedLikeAnOption",
                                  [](const std::string& dir) { write(dir + "/pargen.xml", kPargen); },
                                  {"map", ".", "--html", "--html"},
                                  2,
                                  "tessaro-cli: '--html' takes a FILE",
                                  {},
                                  nullptr,
                                  true},
                      HostileCase{"MapPageNamedWithADash",
                                  [](const std::string& dir) { write(dir + "/pargen.xml", kPargen); },
                                  {"map", "--html", "-page.html", "."},
                                  2,
                                  "tessaro-cli: '--html' takes a FILE",
                                  {},
                                  nullptr,
                                  true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
