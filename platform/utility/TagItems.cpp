#include "utility/tagitem.h"

const TagItem* NextTagItem(const TagItem** tagListPtr) {
    if (tagListPtr == nullptr) {
        return nullptr;
    }
    const TagItem* item = *tagListPtr;
    while (item != nullptr) {
        switch (item->ti_Tag) {
            case TAG_DONE:
                *tagListPtr = nullptr;
                return nullptr;
            case TAG_IGNORE:
                ++item;
                break;
            case TAG_MORE:
                item = reinterpret_cast<const TagItem*>(item->ti_Data);
                break;
            case TAG_SKIP:
                item += item->ti_Data + 1;
                break;
            default:
                *tagListPtr = item + 1;
                return item;
        }
    }
    *tagListPtr = nullptr;
    return nullptr;
}

const TagItem* FindTagItem(Tag tagValue, const TagItem* tagList) {
    const TagItem* walk = tagList;
    while (const TagItem* item = NextTagItem(&walk)) {
        if (item->ti_Tag == tagValue) {
            return item;
        }
    }
    return nullptr;
}

IPTR GetTagData(Tag tagValue, IPTR defaultValue, const TagItem* tagList) {
    const TagItem* item = FindTagItem(tagValue, tagList);
    return item != nullptr ? item->ti_Data : defaultValue;
}
