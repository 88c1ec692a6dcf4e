// Start-up time of the program to its main window shown, offscreen, each run
// in a fresh program folder (a copy of the executable alone, so that MASTER,
// PROJECTS and no settings file are as at a first start), against a bare Qt
// Widgets program that shows a window with a label and a button. Runs the two by turns as
// spawned processes and prints the medians.
//
// Usage: tessaro-bench-startup [RUNS]

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchFigure.h"
#include "platform/FileSystem.h"

namespace fs = std::filesystem;

namespace {

// Milliseconds from the spawn of a fresh copy of program to its first paint.
double timeStartUp(const std::string& program) {
    std::string pattern = (fs::temp_directory_path() / "tessaro-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::exit(1);
    const fs::path folder(pattern);
    const fs::path copy = folder / fs::path(program).filename();
    fs::copy_file(program, copy);

    int report[2];
    if (::pipe(report) != 0) std::exit(1);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(report[0]);
        const std::string fd = std::to_string(report[1]);
        ::execl(copy.c_str(), copy.c_str(), fd.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(report[1]);
    char byte = 0;
    const bool painted = ::read(report[0], &byte, 1) == 1;
    const auto end = std::chrono::steady_clock::now();
    ::close(report[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!painted) {
        std::fprintf(stderr, "%s did not show its window (status %d)\n", program.c_str(), status);
        std::exit(1);
    }
    fs::remove_all(folder);
    return std::chrono::duration<double, std::milli>(end - start).count();
}

}  // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string bin = platform::executableDirectory();
    const std::string program = platform::joinPath(bin, "tessaro-startup-probe");
    const std::string bare = platform::joinPath(bin, "tessaro-bare-window");

    timeStartUp(program);  // the first run of each fills the system's caches
    timeStartUp(bare);
    std::vector<double> programTimes, bareTimes;
    for (int i = 0; i < runs; ++i) {
        programTimes.push_back(timeStartUp(program));
        bareTimes.push_back(timeStartUp(bare));
    }
    std::printf("start-up over %d runs each: program %.1f ms, bare Qt window %.1f ms (medians)\n", runs,
                bench::median(programTimes), bench::median(bareTimes));
    bench::printFigure("start-up to the main window shown", bench::median(programTimes), "ms", bench::median(bareTimes),
                       "ratio <= 1.3");
    return 0;
}
