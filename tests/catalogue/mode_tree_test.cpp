#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <set>
#include <vector>

#include "shell/catalogue/mode_tree.h"

namespace {

// Recomputes every height from the children and compares it with what the
// tree stored; returns the true height.
int CheckSubtree(const ModeNode* node, int& badNodes, int& unbalanced) {
    if (!node)
        return 0;
    int left = CheckSubtree(node->left, badNodes, unbalanced);
    int right = CheckSubtree(node->right, badNodes, unbalanced);
    int height = 1 + std::max(left, right);
    if (node->height != height || node->balance != right - left)
        ++badNodes;
    if (right - left < -1 || right - left > 1)
        ++unbalanced;
    return height;
}

void Collect(const ModeNode* node, void* context) {
    static_cast<std::vector<std::uint32_t>*>(context)->push_back(node->key);
}

std::vector<std::uint32_t> Walk(const ModeNode* root) {
    std::vector<std::uint32_t> keys;
    EXPECT_EQ(ModeTreeWalk(root, Collect, &keys), 1);
    return keys;
}

void ExpectWellFormed(const ModeNode* root, const std::set<std::uint32_t>& expected) {
    int badNodes = 0;
    int unbalanced = 0;
    int height = CheckSubtree(root, badNodes, unbalanced);
    EXPECT_EQ(badNodes, 0);
    EXPECT_EQ(unbalanced, 0);
    // The height bound of a balanced tree: 1.44 log2(n + 2).
    double n = static_cast<double>(expected.size());
    EXPECT_LE(height, 1.4405 * std::log2(n + 2.0));
    EXPECT_EQ(Walk(root), std::vector<std::uint32_t>(expected.begin(), expected.end()));
}

TEST(ModeTree, StaysBalancedUnderRandomInserts) {
    std::mt19937 random(1234);
    // Small key ranges force many duplicates; the wide range exercises the high bit.
    for (std::uint32_t range : {500u, 5000u, 0xffffffffu}) {
        ModeNode* root = nullptr;
        std::set<std::uint32_t> keys;
        std::uniform_int_distribution<std::uint32_t> pick(0, range);
        for (int i = 0; i < 4000; ++i) {
            std::uint32_t key = pick(random);
            ModeNode* node = ModeTreeInsert(&root, key, &keys);
            ASSERT_NE(node, nullptr);
            EXPECT_EQ(node->key, key);
            keys.insert(key);
        }
        ExpectWellFormed(root, keys);
        for (std::uint32_t key : keys)
            EXPECT_NE(ModeTreeFind(root, key), nullptr) << key;
        ModeTreeFree(root);
        EXPECT_EQ(root, nullptr);
    }
}

TEST(ModeTree, SortedInsertsNeedEveryKindOfRotation) {
    // Ascending and descending runs need single rotations; keys closing in
    // from both ends need double ones.
    std::vector<std::vector<std::uint32_t>> orders(3);
    for (std::uint32_t i = 0; i < 1000; ++i) {
        orders[0].push_back(i);
        orders[1].push_back(1000 - i);
        orders[2].push_back(i % 2 ? 2000 - i / 2 : i / 2);
    }
    for (const auto& order : orders) {
        ModeNode* root = nullptr;
        for (std::uint32_t key : order)
            ModeTreeInsert(&root, key, nullptr);
        ExpectWellFormed(root, std::set<std::uint32_t>(order.begin(), order.end()));
        ModeTreeFree(root);
    }
}

TEST(ModeTree, EqualKeyKeepsTheFirstValue) {
    ModeNode* root = nullptr;
    int first = 0;
    int second = 0;
    for (std::uint32_t key : {5u, 3u, 8u})
        ModeTreeInsert(&root, key, &first);
    ModeNode* again = ModeTreeInsert(&root, 3, &second);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->value, &first);
    EXPECT_EQ(ModeTreeFind(root, 3), again);
    EXPECT_EQ(ModeTreeFind(root, 4), nullptr);
    EXPECT_EQ(ModeTreeFind(nullptr, 4), nullptr);
    EXPECT_EQ(Walk(root), (std::vector<std::uint32_t>{3, 5, 8}));
    ModeTreeFree(root);
}

TEST(ModeTree, WalkRefusesTreesDeeperThanItsStack) {
    // Hand-linked left chains: exactly as deep as the stack, and deeper.
    for (int length : {modeTreeWalkDepth, modeTreeWalkDepth + 8}) {
        std::vector<ModeNode> chain(length);
        for (int i = 0; i < length; ++i)
            chain[i] = ModeNode{0, 0, static_cast<std::uint32_t>(length - i), nullptr,
                                i + 1 < length ? &chain[i + 1] : nullptr, nullptr};
        std::vector<std::uint32_t> keys;
        int complete = ModeTreeWalk(&chain[0], Collect, &keys);
        if (length <= modeTreeWalkDepth) {
            EXPECT_EQ(complete, 1);
            EXPECT_EQ(keys.size(), static_cast<std::size_t>(length));
            EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
        } else {
            EXPECT_EQ(complete, 0);
        }
    }
}

}  // namespace
