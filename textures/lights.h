#pragma once
#include <vector>

struct Float3 {
    float x;
    float y;
    float z;
};

// Point lights as two index-aligned lists: positions and colours.
struct LightList {
    std::vector<Float3> positions;
    std::vector<Float3> colors;
};

inline void appendColor(std::vector<Float3>& list, float a, float b, float c) {
    list.push_back(Float3{a, b, c});
}
