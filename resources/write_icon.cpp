// Writes the program's icon, drawn in code, as a PNG for the desktop's icon theme.
#include "shell/program_icon.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.png>\n", argv[0]);
        return 2;
    }
    return ProgramIconImage().save(argv[1], "PNG") ? 0 : 1;
}
