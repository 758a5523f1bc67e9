#pragma once
#include <cstdint>

// Node of a height-balanced search tree from a resolution key to a value.
// A missing child counts as height 0, so a leaf has height 1.
struct ModeNode {
    std::int16_t balance;  // height of the right subtree minus the left one
    std::int16_t height;
    std::uint32_t key;
    void* value;
    ModeNode* left;
    ModeNode* right;
};

// The ascending walk never holds more pending nodes than this; a tree of
// that height needs millions of nodes.
constexpr int modeTreeWalkDepth = 32;

// Inserts key -> value below *root and rebalances. Returns the node holding
// the key: the new one, or the existing one left untouched when the key was
// already there; none when memory ran out.
ModeNode* ModeTreeInsert(ModeNode** root, std::uint32_t key, void* value);

ModeNode* ModeTreeFind(ModeNode* root, std::uint32_t key);

// Calls visit for every node in ascending key order. Returns 1, or 0 when
// the tree is too deep for the walk's stack; nodes already visited stay
// visited.
int ModeTreeWalk(const ModeNode* root, void (*visit)(const ModeNode* node, void* context), void* context);

// Frees the nodes only; the values belong to the caller.
void ModeTreeFree(ModeNode*& root);
