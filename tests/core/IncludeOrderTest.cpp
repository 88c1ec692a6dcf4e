// The layers hold by themselves: every file under src/ includes only headers
// of its own layer or of one below it (app, windows, ui, core, base, platform),
// and only the owners of the documents include the XML service.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

namespace {

namespace fs = std::filesystem;

enum Layer { Platform, Base, Core, Ui, Windows, App };

const char* layerName(Layer layer) {
    static const char* const names[] = {"platform", "base", "core", "ui", "windows", "app"};
    return names[layer];
}

// The layer of a file given by its path below src/, e.g. "documents/Upargen.h".
Layer layerOf(const std::string& path) {
    const std::string folder = path.substr(0, path.find('/'));
    const std::string file = fs::path(path).filename().string();
    if (folder == "app") return App;
    if (folder == "ui") return Ui;
    if (file.rfind('U', 0) == 0) return Windows;
    if (folder == "platform") return Platform;
    if (folder == "base") return Base;
    return Core;
}

TEST(IncludeOrder, LayersTheFileNamesGive) {
    EXPECT_EQ(layerOf("app/main.cpp"), App);
    EXPECT_EQ(layerOf("documents/Upargen.cpp"), Windows);
    EXPECT_EQ(layerOf("ui/Dialogs.h"), Ui);
    EXPECT_EQ(layerOf("outputs/GsdFile.cpp"), Core);
    EXPECT_EQ(layerOf("workspace/Workspace.h"), Core);
    EXPECT_EQ(layerOf("platform/FileSystem.h"), Platform);
    EXPECT_EQ(layerOf("base/XmlDocument.h"), Base);
}

// Hands every include line of every .h and .cpp file under src/ to check,
// with the file's path below src/ and the line's number and the match of
// include; answers how many files it read.
template <class Check>
std::size_t forEachInclude(const std::regex& include, Check check) {
    const fs::path source = TESSARO_SOURCE_DIR;
    std::size_t files = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(source)) {
        const std::string extension = entry.path().extension().string();
        if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) continue;
        ++files;
        const std::string path = fs::relative(entry.path(), source).generic_string();
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            std::smatch match;
            if (std::regex_search(line, match, include)) check(path, number, match);
        }
    }
    return files;
}

TEST(IncludeOrder, NoFileIncludesALayerAboveItsOwn) {
    const fs::path source = TESSARO_SOURCE_DIR;
    const std::regex include(R"(^\s*#\s*include\s*"([^"]+)\")");
    const std::size_t files =
        forEachInclude(include, [&](const std::string& path, int number, const std::smatch& match) {
            const Layer own = layerOf(path);
            const std::string included = match[1];
            // Only the project's own headers have a layer.
            if (!fs::exists(source / included)) return;
            const Layer theirs = layerOf(included);
            if (theirs <= own) return;
            ADD_FAILURE() << path << ":" << number << " (" << layerName(own) << ") includes " << included << " ("
                          << layerName(theirs) << ")";
        });
    EXPECT_GT(files, 0u) << "no sources found below " << source;
}

// Project XML is read and written only by the documents' owners: the XML
// service itself, the project documents, the CANopen editors' documents (not
// their windows) and the XML tools. Anyone else asks them for values.
bool mayParseXml(const std::string& path) {
    const std::string folder = path.substr(0, path.find('/'));
    const std::string file = fs::path(path).filename().string();
    if (folder == "base" || folder == "documents" || folder == "xmltools") return true;
    return folder == "canopen" && file.rfind('U', 0) != 0;
}

TEST(IncludeOrder, FilesThatMayParseXml) {
    EXPECT_TRUE(mayParseXml("base/XmlDocument.cpp"));
    EXPECT_TRUE(mayParseXml("documents/AccessTables.cpp"));
    EXPECT_TRUE(mayParseXml("canopen/EditorDocuments.h"));
    EXPECT_TRUE(mayParseXml("xmltools/XmlTreeWriter.cpp"));
    EXPECT_FALSE(mayParseXml("canopen/USdo.cpp"));
    EXPECT_FALSE(mayParseXml("outputs/AddressMap.cpp"));
    EXPECT_FALSE(mayParseXml("tools/USELstringhe.cpp"));
    EXPECT_FALSE(mayParseXml("cli/TessaroCli.cpp"));
}

TEST(IncludeOrder, OnlyTheDocumentsOwnersParseXml) {
    const std::regex include(R"(^\s*#\s*include\s*("base/XmlDocument\.h"|<libxml/[^>]+>))");
    const std::size_t files =
        forEachInclude(include, [](const std::string& path, int number, const std::smatch& match) {
            if (mayParseXml(path)) return;
            ADD_FAILURE() << path << ":" << number << " includes " << match[1]
                          << ": ask the document's reader for its values instead";
        });
    EXPECT_GT(files, 0u) << "no sources found below " << TESSARO_SOURCE_DIR;
}

}  // namespace
