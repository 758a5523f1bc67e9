#pragma once
// Small modules that between them use every part of the format: the fuzzers
// start from them and the regression test plays them under the sanitizers.
#include <cstdint>
#include <string>
#include <vector>

struct SeedModule {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

std::vector<SeedModule> SeedModules();
