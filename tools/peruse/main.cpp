// portavo-inspect: reads a built setup.exe on the build machine, without
// running it. list prints the product and its file table, verify decodes and
// checks every payload file, extract writes them into a folder.
#include "tools/peruse/commands.h"

#include <cstring>

namespace {

int Usage() {
    fprintf(stderr,
            "usage: portavo-inspect list SETUP.EXE\n"
            "       portavo-inspect verify SETUP.EXE\n"
            "       portavo-inspect extract SETUP.EXE DIR\n");
    return kInspectBadInput;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && !strcmp(argv[1], "list")) return ListCommand(argv[2], stdout, stderr);
    if (argc == 3 && !strcmp(argv[1], "verify")) return VerifyCommand(argv[2], stdout, stderr);
    if (argc == 4 && !strcmp(argv[1], "extract")) return ExtractCommand(argv[2], argv[3], stdout, stderr);
    return Usage();
}
