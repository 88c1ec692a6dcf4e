/* Holds pseudo-terminals open for the Windows serial tests under Wine: opens
   as many as its argument says, prints the path of each one's device (the
   slave side), one a line, and keeps them until it is ended. Wine's COM
   ports are links to such devices (dosdevices/comN). */
#define _XOPEN_SOURCE 600
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

int main(int argc, char** argv) {
    const int count = argc > 1 ? atoi(argv[1]) : 1;
    for (int i = 0; i < count; ++i) {
        const int master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
            perror("pseudo-terminal");
            return 1;
        }
        printf("%s\n", ptsname(master));
    }
    fflush(stdout);
    for (;;) pause();
}
