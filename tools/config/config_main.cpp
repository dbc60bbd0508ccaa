// portavo-config: writes product_config.cpp and payload.rc into the gen
// folder from the product description and the payload files.
#include "tools/config/generate.h"

#include <cstdio>
#include <cstring>

namespace {

int Usage() {
    fprintf(stderr,
            "usage: portavo-config --description FILE --payload DIR [--payload DIR...]\n"
            "                      --packed DIR --gen DIR\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    GenerateRequest request;
    for (int i = 1; i < argc; ++i) {
        if (i + 1 >= argc) return Usage();
        const char* option = argv[i];
        const char* value = argv[++i];
        if (!strcmp(option, "--description")) request.description = value;
        else if (!strcmp(option, "--payload")) request.payloadDirs.push_back(value);
        else if (!strcmp(option, "--packed")) request.packedDir = value;
        else if (!strcmp(option, "--gen")) request.genDir = value;
        else return Usage();
    }
    if (request.description.empty() || request.payloadDirs.empty() || request.packedDir.empty() ||
        request.genDir.empty())
        return Usage();
    ProductConfig record;
    std::vector<std::string> errors;
    if (!GenerateProductSources(request, &record, &errors)) {
        for (const std::string& e : errors) fprintf(stderr, "portavo-config: error: %s\n", e.c_str());
        return 1;
    }
    return 0;
}
