#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include "support/TestFiles.h"

namespace {

using testing_support::TempDir;

TEST(IniFile, MissingFileSectionOrKeyReadsEmpty) {
    TempDir dir;
    EXPECT_EQ(platform::readIniValue(dir / "none.ini", "lastproj", "projectname"), "");
    testing_support::writeFile(dir / "a.ini", "[other]\nprojectname=x\n");
    EXPECT_EQ(platform::readIniValue(dir / "a.ini", "lastproj", "projectname"), "");
}

TEST(IniFile, ReadsWindowsStyleFiles) {
    TempDir dir;
    testing_support::writeFile(dir / "a.ini", "; comment\r\n[LastProj]\r\nProjectName = \\Plant1 \r\n[x]\r\nk=v\r\n");
    EXPECT_EQ(platform::readIniValue(dir / "a.ini", "lastproj", "projectname"), "\\Plant1");
}

TEST(IniFile, WriteCreatesAndKeepsOtherLines) {
    TempDir dir;
    platform::writeIniValue(dir / "a.ini", "lastproj", "projectname", "/Plant1");
    EXPECT_EQ(testing_support::readFile(dir / "a.ini"), "[lastproj]\r\nprojectname=/Plant1\r\n");

    testing_support::writeFile(dir / "b.ini", "[x]\r\nk=v\r\n[lastproj]\r\nprojectname=old\r\n\r\n[y]\r\nz=1\r\n");
    platform::writeIniValue(dir / "b.ini", "lastproj", "projectname", "");
    EXPECT_EQ(testing_support::readFile(dir / "b.ini"),
              "[x]\r\nk=v\r\n[lastproj]\r\nprojectname=\r\n\r\n[y]\r\nz=1\r\n");

    testing_support::writeFile(dir / "c.ini", "[lastproj]\r\nother=1\r\n\r\n[y]\r\n");
    platform::writeIniValue(dir / "c.ini", "lastproj", "projectname", "P");
    EXPECT_EQ(testing_support::readFile(dir / "c.ini"), "[lastproj]\r\nother=1\r\nprojectname=P\r\n\r\n[y]\r\n");
}

TEST(IniFile, ValuesComeBackAsWritten) {
    TempDir dir;
    for (const std::string value : {"Plant 1 ", " lead", "\"quoted\"", "a=b", "/\xC3\xA9t\xC3\xA9", ""}) {
        platform::writeIniValue(dir / "a.ini", "lastproj", "projectname", value);
        EXPECT_EQ(platform::readIniValue(dir / "a.ini", "lastproj", "projectname"), value);
    }
}

TEST(IniFile, UnwritableFileThrows) {
    TempDir dir;
    testing_support::writeFile(dir / "a.ini/blocker", "");  // a folder where the file should be
    EXPECT_THROW(platform::writeIniValue(dir / "a.ini", "lastproj", "projectname", "x"), std::runtime_error);
}

}  // namespace
