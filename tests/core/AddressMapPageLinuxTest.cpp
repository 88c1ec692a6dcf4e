#include <fcntl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "outputs/AddressMap.h"
#include "outputs/AddressMapPage.h"
#include "support/TestFiles.h"

// The address map page as a browser shows and prints it: Linux only, for
// headless Chromium, a process group of its own and libpng.
namespace {

using testing_support::occurrences;
using testing_support::TempDir;

outputs::AddressMap mapOf(const std::string& projectDir) {
    return outputs::buildAddressMap(projectDir, outputs::readMapDocuments(projectDir));
}

// Headless Chromium, the browser a PLC programmer would open the page with.

std::optional<std::string> chromiumProgram() {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "/usr/bin");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const std::string candidate = folder + "/chromium";
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return std::nullopt;
}

// Runs the program in a process group of its own with its output discarded;
// answers its exit code, or -1 when it had to be stopped after bound.
int runBounded(std::vector<std::string> argv, std::chrono::seconds bound) {
    std::vector<char*> pointers;
    for (std::string& arg : argv) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
        const int quiet = open("/dev/null", O_RDWR);
        if (quiet < 0 || dup2(quiet, 0) < 0 || dup2(quiet, 1) < 0 || dup2(quiet, 2) < 0) _exit(126);
        execv(pointers[0], pointers.data());
        _exit(127);
    }
    if (child < 0) return -1;
    setpgid(child, child);
    const auto deadline = std::chrono::steady_clock::now() + bound;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(-child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // Helpers the browser started and left behind belong to its group.
    kill(-child, SIGKILL);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Picture {
    unsigned width = 0, height = 0;
    std::vector<unsigned char> rgb;

    std::size_t count(const std::function<bool(int, int, int)>& colour) const {
        std::size_t n = 0;
        for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) n += colour(rgb[i], rgb[i + 1], rgb[i + 2]) ? 1 : 0;
        return n;
    }
};

Picture readPng(const std::string& path) {
    Picture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return picture;
    picture.width = image.width;
    picture.height = image.height;
    picture.rgb = std::move(pixels);
    return picture;
}

// Runs headless Chromium on scratch/map.html with a new empty profile below
// scratch, without anything that reaches out to the network.
int runChromium(const std::string& chromium, const TempDir& scratch, const std::string& profile,
                const std::vector<std::string>& what) {
    std::filesystem::create_directory(scratch / profile);
    std::vector<std::string> argv = {chromium,
                                     "--headless",
                                     "--no-sandbox",
                                     "--disable-gpu",
                                     "--disable-quic",
                                     "--no-first-run",
                                     "--disable-background-networking",
                                     "--disable-component-update",
                                     "--disable-sync",
                                     "--user-data-dir=" + (scratch / profile),
                                     "--hide-scrollbars"};
    argv.insert(argv.end(), what.begin(), what.end());
    argv.push_back("file://" + (scratch / "map.html"));
    return runBounded(argv, std::chrono::seconds(120));
}

TEST(AddressMapPage, ChromiumRendersIt) {
    const std::optional<std::string> chromium = chromiumProgram();
    if (!chromium) GTEST_SKIP() << "chromium is not installed";

    TempDir scratch;
    outputs::writeAddressMapPage(mapOf(testing_support::testData("addressmap/worked-example")), scratch / "map.html");
    ASSERT_EQ(
        runChromium(*chromium, scratch, "profile", {"--window-size=900,1400", "--screenshot=" + (scratch / "map.png")}),
        0);

    const Picture picture = readPng(scratch / "map.png");
    ASSERT_EQ(picture.width, 900u);
    ASSERT_EQ(picture.height, 1400u);
    const std::size_t all = picture.width * picture.height;
    const auto near = [](int r, int g, int b, int R, int G, int B) {
        return std::abs(r - R) < 12 && std::abs(g - G) < 12 && std::abs(b - B) < 12;
    };
    const std::size_t background = picture.count([&](int r, int g, int b) { return near(r, g, b, 0xF8, 0xF7, 0xED); });
    const std::size_t unused = picture.count([&](int r, int g, int b) { return near(r, g, b, 0xD9, 0xD9, 0xD9); });
    const std::size_t hatching = picture.count([&](int r, int g, int b) { return near(r, g, b, 0xD0, 0x00, 0x00); });
    std::set<int> colours;
    for (std::size_t i = 0; i + 2 < picture.rgb.size(); i += 3) {
        colours.insert(picture.rgb[i] << 16 | picture.rgb[i + 1] << 8 | picture.rgb[i + 2]);
    }
    // Not blank: the page's background, a good share of grey cells (92 of the
    // 120 bytes are unused), the red of the one byte used twice, and the many
    // colours of the rows and the text.
    EXPECT_GT(background, all / 4);
    EXPECT_LT(background, all * 9 / 10);
    EXPECT_GT(unused, 92u * 20u * 20u);
    EXPECT_GT(hatching, 40u);
    EXPECT_GT(colours.size(), 50u);

    // Printed, every sheet is A4 (595 by 842 points).
    ASSERT_EQ(runChromium(*chromium, scratch, "print-profile",
                          {"--no-pdf-header-footer", "--print-to-pdf=" + (scratch / "map.pdf")}),
              0);
    const std::string pdf = testing_support::readFile(scratch / "map.pdf");
    EXPECT_GE(occurrences(pdf, "/MediaBox [0 0 594.9"), 1u);
    EXPECT_EQ(occurrences(pdf, "/MediaBox [0 0 594.9"), occurrences(pdf, "/MediaBox ["));
}

}  // namespace
