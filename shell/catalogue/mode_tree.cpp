#include "shell/catalogue/mode_tree.h"

#include <new>

namespace {

int HeightOf(const ModeNode* node) {
    return node ? node->height : 0;
}

void UpdateNode(ModeNode* node) {
    int left = HeightOf(node->left);
    int right = HeightOf(node->right);
    node->height = static_cast<std::int16_t>(1 + (left > right ? left : right));
    node->balance = static_cast<std::int16_t>(right - left);
}

void RotateLeft(ModeNode** slot) {
    ModeNode* node = *slot;
    ModeNode* pivot = node->right;
    node->right = pivot->left;
    pivot->left = node;
    *slot = pivot;
    if (pivot->left)
        UpdateNode(pivot->left);
    if (pivot->right)
        UpdateNode(pivot->right);
    UpdateNode(pivot);
}

void RotateRight(ModeNode** slot) {
    ModeNode* node = *slot;
    ModeNode* pivot = node->left;
    node->left = pivot->right;
    pivot->right = node;
    *slot = pivot;
    if (pivot->left)
        UpdateNode(pivot->left);
    if (pivot->right)
        UpdateNode(pivot->right);
    UpdateNode(pivot);
}

void Repair(ModeNode** slot) {
    ModeNode* node = *slot;
    if (node->balance > 1 && node->right) {
        if (node->right->balance > 0) {
            RotateLeft(slot);
        } else if (node->right->balance < 0) {
            RotateRight(&node->right);
            RotateLeft(slot);
        }
    }
    node = *slot;
    if (node->balance < -1 && node->left) {
        if (node->left->balance < 0) {
            RotateRight(slot);
        } else if (node->left->balance > 0) {
            RotateLeft(&node->left);
            RotateRight(slot);
        }
    }
}

}  // namespace

ModeNode* ModeTreeInsert(ModeNode** root, std::uint32_t key, void* value) {
    ModeNode* node = *root;
    ModeNode* found;
    if (!node) {
        found = new (std::nothrow) ModeNode{0, 0, key, value, nullptr, nullptr};
        if (!found)
            return nullptr;
        *root = found;
    } else if (key < node->key) {
        found = ModeTreeInsert(&node->left, key, value);
    } else if (key > node->key) {
        found = ModeTreeInsert(&node->right, key, value);
    } else {
        return node;
    }
    // The new node lies at the end of the path, so it is updated too.
    UpdateNode(*root);
    Repair(root);
    return found;
}

ModeNode* ModeTreeFind(ModeNode* root, std::uint32_t key) {
    while (root && root->key != key)
        root = key < root->key ? root->left : root->right;
    return root;
}

int ModeTreeWalk(const ModeNode* root, void (*visit)(const ModeNode* node, void* context), void* context) {
    const ModeNode* pending[modeTreeWalkDepth];
    int depth = 0;
    const ModeNode* node = root;
    while (node || depth > 0) {
        while (node) {
            if (depth == modeTreeWalkDepth)
                return 0;
            pending[depth++] = node;
            node = node->left;
        }
        node = pending[--depth];
        visit(node, context);
        node = node->right;
    }
    return 1;
}

void ModeTreeFree(ModeNode*& root) {
    if (!root)
        return;
    ModeTreeFree(root->left);
    ModeTreeFree(root->right);
    delete root;
    root = nullptr;
}
