#pragma once
#include <cstdint>

#include "shell/catalogue/display_mode.h"
#include "shell/catalogue/growable_array.h"
#include "shell/catalogue/mode_tree.h"

using FrequencyArray = GrowableArray<std::int32_t>;

// The display's 32-bit modes, one entry per resolution.
struct ModeCatalogue {
    ModeNode* modeTree = nullptr;           // key -> first DisplayMode seen
    GrowableArray<std::uint32_t> modeKeys;  // keys ascending, one per resolution
    ModeNode* frequencyTree = nullptr;      // key -> FrequencyArray, first-seen order
};

// Adds a mode. Modes that are not 32 bits deep are dropped (result 0), as is
// a mode that memory cannot hold; otherwise 1.
int CatalogueInsert(ModeCatalogue& catalogue, const DisplayMode& mode);

const DisplayMode* CatalogueMode(const ModeCatalogue& catalogue, std::uint32_t key);
const FrequencyArray* CatalogueFrequencies(const ModeCatalogue& catalogue, std::uint32_t key);

// Calls visit with every mode of modeTree in ascending key order; 1, or 0
// when the walk's stack was too small.
int CatalogueWalk(const ModeCatalogue& catalogue, void (*visit)(const DisplayMode& mode, void* context),
                  void* context);

// The program keeps its catalogue to the end; this is for short-lived ones.
void CatalogueFree(ModeCatalogue& catalogue);
