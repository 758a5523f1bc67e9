#pragma once
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

// A plain array that grows by a fixed step whenever it is full. Items are
// moved with memcpy, so only trivially copyable items are allowed.
template <typename T>
struct GrowableArray {
    static_assert(std::is_trivially_copyable_v<T>);
    T* items = nullptr;
    std::uint32_t capacity = 0;
    std::uint32_t count = 0;
};

constexpr std::uint32_t growableArrayStep = 10;

// Makes room for one more item. 1 on success, 0 when memory ran out (the
// array is left as it was).
template <typename T>
int ArrayMakeRoom(GrowableArray<T>& array) {
    if (array.count < array.capacity)
        return 1;
    std::uint32_t capacity = array.capacity + growableArrayStep;
    void* items = std::realloc(array.items, sizeof(T) * capacity);
    if (!items)
        return 0;
    array.items = static_cast<T*>(items);
    array.capacity = capacity;
    return 1;
}

template <typename T>
int ArrayAppend(GrowableArray<T>& array, T item) {
    if (!ArrayMakeRoom(array))
        return 0;
    array.items[array.count++] = item;
    return 1;
}

// Inserts before position index; an index past the end appends.
template <typename T>
int ArrayInsertAt(GrowableArray<T>& array, std::uint32_t index, T item) {
    if (!ArrayMakeRoom(array))
        return 0;
    if (index > array.count)
        index = array.count;
    std::memmove(array.items + index + 1, array.items + index, sizeof(T) * (array.count - index));
    array.items[index] = item;
    ++array.count;
    return 1;
}

template <typename T>
int ArrayContains(const GrowableArray<T>& array, T item) {
    for (std::uint32_t i = 0; i < array.count; ++i)
        if (array.items[i] == item)
            return 1;
    return 0;
}

template <typename T>
void ArrayFree(GrowableArray<T>& array) {
    std::free(array.items);
    array = GrowableArray<T>{};
}
