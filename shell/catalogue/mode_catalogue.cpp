#include "shell/catalogue/mode_catalogue.h"

#include <new>

namespace {

std::uint32_t AscendingPosition(const GrowableArray<std::uint32_t>& keys, std::uint32_t key) {
    std::uint32_t low = 0;
    std::uint32_t high = keys.count;
    while (low < high) {
        std::uint32_t middle = low + (high - low) / 2;
        if (keys.items[middle] < key)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

int AddResolution(ModeCatalogue& catalogue, std::uint32_t key, const DisplayMode& mode) {
    // Room in modeKeys first, so the tree and the key list never get out of step.
    if (!ArrayMakeRoom(catalogue.modeKeys))
        return 0;
    DisplayMode* stored = new (std::nothrow) DisplayMode(mode);
    if (!stored)
        return 0;
    if (!ModeTreeInsert(&catalogue.modeTree, key, stored)) {
        delete stored;
        return 0;
    }
    ArrayInsertAt(catalogue.modeKeys, AscendingPosition(catalogue.modeKeys, key), key);
    return 1;
}

int AddFrequency(ModeCatalogue& catalogue, std::uint32_t key, std::int32_t frequency) {
    ModeNode* node = ModeTreeFind(catalogue.frequencyTree, key);
    if (node) {
        FrequencyArray& frequencies = *static_cast<FrequencyArray*>(node->value);
        return ArrayContains(frequencies, frequency) || ArrayAppend(frequencies, frequency);
    }
    FrequencyArray* frequencies = new (std::nothrow) FrequencyArray;
    if (!frequencies)
        return 0;
    if (!ArrayAppend(*frequencies, frequency) || !ModeTreeInsert(&catalogue.frequencyTree, key, frequencies)) {
        ArrayFree(*frequencies);
        delete frequencies;
        return 0;
    }
    return 1;
}

struct WalkContext {
    void (*visit)(const DisplayMode& mode, void* context);
    void* context;
};

void VisitMode(const ModeNode* node, void* context) {
    WalkContext& walk = *static_cast<WalkContext*>(context);
    walk.visit(*static_cast<const DisplayMode*>(node->value), walk.context);
}

void FreeModes(ModeNode* node) {
    if (!node)
        return;
    FreeModes(node->left);
    FreeModes(node->right);
    delete static_cast<DisplayMode*>(node->value);
}

void FreeFrequencies(ModeNode* node) {
    if (!node)
        return;
    FreeFrequencies(node->left);
    FreeFrequencies(node->right);
    FrequencyArray* frequencies = static_cast<FrequencyArray*>(node->value);
    ArrayFree(*frequencies);
    delete frequencies;
}

}  // namespace

int CatalogueInsert(ModeCatalogue& catalogue, const DisplayMode& mode) {
    if (mode.bitsPerPixel != 32)
        return 0;
    std::uint32_t key = ResolutionKey(mode.width, mode.height);
    if (!ModeTreeFind(catalogue.modeTree, key) && !AddResolution(catalogue, key, mode))
        return 0;
    return AddFrequency(catalogue, key, mode.frequency);
}

const DisplayMode* CatalogueMode(const ModeCatalogue& catalogue, std::uint32_t key) {
    ModeNode* node = ModeTreeFind(catalogue.modeTree, key);
    return node ? static_cast<const DisplayMode*>(node->value) : nullptr;
}

const FrequencyArray* CatalogueFrequencies(const ModeCatalogue& catalogue, std::uint32_t key) {
    ModeNode* node = ModeTreeFind(catalogue.frequencyTree, key);
    return node ? static_cast<const FrequencyArray*>(node->value) : nullptr;
}

int CatalogueWalk(const ModeCatalogue& catalogue, void (*visit)(const DisplayMode& mode, void* context),
                  void* context) {
    WalkContext walk{visit, context};
    return ModeTreeWalk(catalogue.modeTree, VisitMode, &walk);
}

void CatalogueFree(ModeCatalogue& catalogue) {
    FreeModes(catalogue.modeTree);
    ModeTreeFree(catalogue.modeTree);
    FreeFrequencies(catalogue.frequencyTree);
    ModeTreeFree(catalogue.frequencyTree);
    ArrayFree(catalogue.modeKeys);
}
