// Writes the seed corpus of inspect-fuzz into the folder given: the sample
// setup program and two variants, one file and two records.
#include <cstdio>
#include <string>

#include "tests/tools/sample_setup.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: inspect-fuzz-seed DIR\n");
        return 2;
    }
    std::vector<SampleFile> one = SampleFiles();
    one.resize(1);
    one[0].bytes.resize(600);
    const SampleSetup seeds[] = {MakeSampleSetup(SampleFiles()), MakeSampleSetup(one), MakeSampleSetup(one, 2)};
    for (size_t i = 0; i < sizeof seeds / sizeof seeds[0]; ++i) {
        const std::string path = std::string(argv[1]) + "/sample-" + std::to_string(i) + ".exe";
        FILE* f = fopen(path.c_str(), "wb");
        if (!f || fwrite(seeds[i].image.data(), 1, seeds[i].image.size(), f) != seeds[i].image.size() || fclose(f)) {
            fprintf(stderr, "inspect-fuzz-seed: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
