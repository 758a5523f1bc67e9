#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "shell/catalogue/mode_catalogue.h"

namespace {

struct Resolution {
    std::int32_t width;
    std::int32_t height;
    bool operator==(const Resolution&) const = default;
};

std::vector<std::uint32_t> Keys(const ModeCatalogue& catalogue) {
    return std::vector<std::uint32_t>(catalogue.modeKeys.items, catalogue.modeKeys.items + catalogue.modeKeys.count);
}

std::vector<std::uint32_t> KeysOf(const std::vector<Resolution>& resolutions) {
    std::vector<std::uint32_t> keys;
    for (const Resolution& r : resolutions)
        keys.push_back(ResolutionKey(r.width, r.height));
    return keys;
}

void CollectMode(const DisplayMode& mode, void* context) {
    static_cast<std::vector<DisplayMode>*>(context)->push_back(mode);
}

std::vector<DisplayMode> WalkModes(const ModeCatalogue& catalogue) {
    std::vector<DisplayMode> modes;
    EXPECT_EQ(CatalogueWalk(catalogue, CollectMode, &modes), 1);
    return modes;
}

std::vector<std::int32_t> Frequencies(const ModeCatalogue& catalogue, std::int32_t width, std::int32_t height) {
    const FrequencyArray* array = CatalogueFrequencies(catalogue, ResolutionKey(width, height));
    if (!array)
        return {};
    return std::vector<std::int32_t>(array->items, array->items + array->count);
}

TEST(ModeCatalogue, DropsModesThatAreNotThirtyTwoBitsDeep) {
    ModeCatalogue catalogue;
    // A 24-bit desktop followed by what the driver enumerates.
    EXPECT_EQ(CatalogueInsert(catalogue, {1920, 1080, 60, 24}), 0);
    EXPECT_EQ(CatalogueInsert(catalogue, {1024, 768, 70, 32}), 1);
    EXPECT_EQ(CatalogueInsert(catalogue, {1920, 1080, 60, 16}), 0);
    EXPECT_EQ(CatalogueInsert(catalogue, {800, 600, 56, 8}), 0);
    EXPECT_EQ(CatalogueInsert(catalogue, {800, 600, 75, 32}), 1);

    EXPECT_EQ(Keys(catalogue), KeysOf({{800, 600}, {1024, 768}}));
    EXPECT_EQ(CatalogueMode(catalogue, ResolutionKey(1920, 1080)), nullptr);
    EXPECT_EQ(CatalogueFrequencies(catalogue, ResolutionKey(1920, 1080)), nullptr);
    // The 8-bit 800x600 mode left no trace among the rates.
    EXPECT_EQ(Frequencies(catalogue, 800, 600), (std::vector<std::int32_t>{75}));
    CatalogueFree(catalogue);
}

TEST(ModeCatalogue, OneResolutionAtSeveralRatesIsOneEntry) {
    ModeCatalogue catalogue;
    CatalogueInsert(catalogue, {1280, 1024, 75, 32});  // the desktop
    CatalogueInsert(catalogue, {1280, 1024, 60, 32});
    CatalogueInsert(catalogue, {640, 480, 60, 32});
    CatalogueInsert(catalogue, {1280, 1024, 75, 32});
    CatalogueInsert(catalogue, {1280, 1024, 85, 32});
    CatalogueInsert(catalogue, {1280, 1024, 60, 32});
    CatalogueInsert(catalogue, {640, 480, 72, 32});

    EXPECT_EQ(Keys(catalogue), KeysOf({{640, 480}, {1280, 1024}}));
    EXPECT_EQ(Frequencies(catalogue, 1280, 1024), (std::vector<std::int32_t>{75, 60, 85}));
    EXPECT_EQ(Frequencies(catalogue, 640, 480), (std::vector<std::int32_t>{60, 72}));
    // The tree keeps the first mode seen: the desktop's.
    const DisplayMode* mode = CatalogueMode(catalogue, ResolutionKey(1280, 1024));
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->frequency, 75);
    std::vector<DisplayMode> walked = WalkModes(catalogue);
    ASSERT_EQ(walked.size(), 2u);
    EXPECT_EQ(walked[1].frequency, 75);
    CatalogueFree(catalogue);
}

TEST(ModeCatalogue, KeysAscendWhateverTheEnumerationOrder) {
    // Equal widths with different heights, and a width with the key's top bit set.
    std::vector<Resolution> sorted = {{320, 200},   {640, 480},   {800, 600},   {1280, 720}, {1280, 960},
                                      {1280, 1024}, {1920, 1080}, {1920, 1200}, {40000, 10}};
    std::mt19937 random(99);
    for (int round = 0; round < 20; ++round) {
        std::vector<Resolution> order = sorted;
        if (round == 1)
            std::reverse(order.begin(), order.end());
        else if (round > 1)
            std::shuffle(order.begin(), order.end(), random);
        ModeCatalogue catalogue;
        for (const Resolution& r : order)
            for (std::int32_t rate : {60, 75})
                CatalogueInsert(catalogue, {r.width, r.height, rate, 32});

        EXPECT_EQ(Keys(catalogue), KeysOf(sorted));
        // The walk that fills the resolution rows matches modeKeys row for row.
        std::vector<Resolution> walked;
        for (const DisplayMode& mode : WalkModes(catalogue))
            walked.push_back({mode.width, mode.height});
        EXPECT_EQ(walked, sorted);
        for (std::uint32_t key : KeysOf(sorted)) {
            const DisplayMode* mode = CatalogueMode(catalogue, key);
            ASSERT_NE(mode, nullptr);
            EXPECT_EQ(ResolutionKeyWidth(key), mode->width);
            EXPECT_EQ(ResolutionKeyHeight(key), mode->height);
        }
        CatalogueFree(catalogue);
        EXPECT_EQ(catalogue.modeKeys.count, 0u);
        EXPECT_EQ(catalogue.modeTree, nullptr);
    }
}

TEST(GrowableArray, GrowsByTenAndInsertsInPlace) {
    GrowableArray<std::int32_t> array;
    EXPECT_EQ(ArrayAppend(array, 5), 1);
    EXPECT_EQ(array.capacity, 10u);
    for (std::int32_t i = 0; i < 9; ++i)
        ArrayAppend(array, 10 + i);
    EXPECT_EQ(array.capacity, 10u);
    ArrayInsertAt(array, 0, 1);
    EXPECT_EQ(array.capacity, 20u);
    ArrayInsertAt(array, 2, 7);
    ArrayInsertAt(array, 99, 99);  // past the end: appended
    std::vector<std::int32_t> got(array.items, array.items + array.count);
    EXPECT_EQ(got, (std::vector<std::int32_t>{1, 5, 7, 10, 11, 12, 13, 14, 15, 16, 17, 18, 99}));
    EXPECT_EQ(ArrayContains(array, 7), 1);
    EXPECT_EQ(ArrayContains(array, 8), 0);
    ArrayFree(array);
    EXPECT_EQ(array.items, nullptr);
    EXPECT_EQ(array.count, 0u);
}

}  // namespace
