// portavo-config: the one reader of the product description. With --gen it
// writes product_config.cpp, payload.rc, checksums.bin, version.rc and
// setup.manifest into the gen folder from the description and the payload
// files; with --cmake it writes the build settings that the build trees read
// at configure time.
#include "tools/config/generate.h"

#include <cstdio>
#include <cstring>

namespace {

int Usage() {
    fprintf(stderr,
            "usage: portavo-config --description FILE --resources SCRIPT --macros LISTING [--macros LISTING...]\n"
            "                      --payload DIR [--payload DIR...] --packed DIR --gen DIR\n"
            "       portavo-config --description FILE --resources SCRIPT --macros LISTING [--macros LISTING...]\n"
            "                      --cmake FILE\n"
            "       portavo-config --description FILE --resources SCRIPT --macros LISTING [--macros LISTING...]\n"
            "                      --names DIR\n");
    return 2;
}

int Report(const std::vector<std::string>& errors) {
    for (const std::string& e : errors) fprintf(stderr, "portavo-config: error: %s\n", e.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    GenerateRequest request;
    std::string cmake;
    std::string names;
    for (int i = 1; i < argc; ++i) {
        if (i + 1 >= argc) return Usage();
        const char* option = argv[i];
        const char* value = argv[++i];
        if (!strcmp(option, "--description")) request.description = value;
        else if (!strcmp(option, "--resources")) request.resourceScript = value;
        else if (!strcmp(option, "--macros")) request.macroListings.push_back(value);
        else if (!strcmp(option, "--payload")) request.payloadDirs.push_back(value);
        else if (!strcmp(option, "--packed")) request.packedDir = value;
        else if (!strcmp(option, "--gen")) request.genDir = value;
        else if (!strcmp(option, "--cmake")) cmake = value;
        else if (!strcmp(option, "--names")) names = value;
        else return Usage();
    }
    if (request.description.empty() || request.resourceScript.empty() || request.macroListings.empty())
        return Usage();
    std::vector<std::string> errors;
    if (!cmake.empty()) {
        if (!request.payloadDirs.empty() || !request.packedDir.empty() || !request.genDir.empty()) return Usage();
        return GenerateBuildSettings(request.description, request.resourceScript, request.macroListings, cmake,
                                     &errors)
                   ? 0
                   : Report(errors);
    }
    if (!names.empty()) {
        if (!request.payloadDirs.empty() || !request.packedDir.empty() || !request.genDir.empty()) return Usage();
        request.genDir = names;
        return GenerateProductNames(request, &errors) ? 0 : Report(errors);
    }
    if (request.payloadDirs.empty() || request.packedDir.empty() || request.genDir.empty()) return Usage();
    ProductConfig record;
    if (!GenerateProductSources(request, &record, &errors)) return Report(errors);
    return 0;
}
