// The child of the crash-safety tests: saves one document over and over,
// alternating its two contents, until it is killed. Writes one byte to
// standard output after the first save, so that the parent knows the saving
// has begun.
//
// Usage: tessaro-save-loop KIND FOLDER

#include <unistd.h>

#include <cstdio>
#include <exception>

#include "crash/SaveKinds.h"

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tessaro-save-loop KIND FOLDER\n");
        return 2;
    }
    const crash_safety::SaveKind* kind = crash_safety::findSaveKind(argv[1]);
    if (!kind) {
        std::fprintf(stderr, "tessaro-save-loop: no kind %s\n", argv[1]);
        return 2;
    }
    try {
        const crash_safety::Save save = kind->saver(argv[2]);
        for (unsigned long n = 1;; ++n) {
            save(static_cast<int>(n % 2));
            if (n == 1 && ::write(STDOUT_FILENO, "s", 1) != 1) return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tessaro-save-loop: %s\n", e.what());
        return 1;
    }
}
