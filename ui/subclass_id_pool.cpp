#include "ui/subclass_id_pool.h"

#include <cstring>

SSubclassIdPool::SSubclassIdPool() : searchWord(0) {
    memset(words, 0, sizeof(words));
}

int SSubclassIdPool::TakeFirstFree(int fromWord, int toWord) {
    for (int w = fromWord; w < toWord; ++w) {
        if (words[w] == 0xFFFF)
            continue;
        for (int bit = 0; bit < 16; ++bit) {
            if (!(words[w] & (1u << bit))) {
                words[w] = static_cast<WORD>(words[w] | (1u << bit));
                searchWord = w;
                return w * 16 + bit;
            }
        }
    }
    return -1;
}

int SSubclassIdPool::Allocate() {
    int id = TakeFirstFree(searchWord, kWordCount);
    if (id < 0)
        id = TakeFirstFree(0, searchWord);
    return id;
}

void SSubclassIdPool::Release(int id) {
    if (id < 0 || id >= kWordCount * 16)
        return;
    words[id / 16] = static_cast<WORD>(words[id / 16] & ~(1u << (id % 16)));
}

namespace {
SSubclassIdPool g_subclassIds;
}

int AllocateSubclassId() {
    return g_subclassIds.Allocate();
}

void ReleaseSubclassId(int id) {
    g_subclassIds.Release(id);
}
