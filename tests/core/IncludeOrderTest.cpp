// The layers hold by themselves: every file under src/ includes only headers
// of its own layer or of one below it (app, windows, ui, core, base, platform).

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

TEST(IncludeOrder, NoFileIncludesALayerAboveItsOwn) {
    const fs::path source = TESSARO_SOURCE_DIR;
    const std::regex include(R"(^\s*#\s*include\s*"([^"]+)\")");
    std::size_t files = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(source)) {
        const std::string extension = entry.path().extension().string();
        if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) continue;
        ++files;
        const std::string path = fs::relative(entry.path(), source).generic_string();
        const Layer own = layerOf(path);
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            std::smatch match;
            if (!std::regex_search(line, match, include)) continue;
            const std::string included = match[1];
            // Only the project's own headers have a layer.
            if (!fs::exists(source / included)) continue;
            const Layer theirs = layerOf(included);
            if (theirs <= own) continue;
            ADD_FAILURE() << path << ":" << number << " (" << layerName(own) << ") includes " << included << " ("
                          << layerName(theirs) << ")";
        }
    }
    EXPECT_GT(files, 0u) << "no sources found below " << source;
}

}  // namespace
