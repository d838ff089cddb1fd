#pragma once
// Tag lists: the way every AROS call takes optional arguments.

#include <cstdint>
#include <type_traits>

typedef uint32_t Tag;
typedef uintptr_t IPTR;

struct TagItem {
    Tag ti_Tag;
    IPTR ti_Data;
};

#define TAG_DONE 0UL
#define TAG_END 0UL
#define TAG_IGNORE 1UL
#define TAG_MORE 2UL
#define TAG_SKIP 3UL
#define TAG_USER 0x80000000UL

// Finds a tag in a list, following TAG_MORE and honouring TAG_IGNORE and TAG_SKIP.
const TagItem* FindTagItem(Tag tagValue, const TagItem* tagList);
IPTR GetTagData(Tag tagValue, IPTR defaultValue, const TagItem* tagList);
// Walks a list one tag at a time; returns null at its end.
const TagItem* NextTagItem(const TagItem** tagListPtr);

namespace tessella::utility {

// The varargs forms of the calls pack their arguments into a tag list; any pointer, function
// pointer or integer fits in an IPTR.
template <typename T>
IPTR ToTagData(T value) {
    if constexpr (std::is_pointer_v<T>) {
        return reinterpret_cast<IPTR>(value);
    } else if constexpr (std::is_null_pointer_v<T>) {
        return 0;
    } else {
        return static_cast<IPTR>(value);
    }
}

}  // namespace tessella::utility
