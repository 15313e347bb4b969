#include "support/string_list.h"

#include <cstring>

#include "support/mbcs.h"

namespace {

const size_t kBlockSize = 8192;

// Bytes of the separator at p, 0 when none starts there. p is always at a character's start,
// so a separator of two bytes can never be matched inside another character.
size_t SeparatorLength(const char* p) {
    return *p == ',' ? 1 : 0;
}

// Never a lead or a trail byte: trimming them byte by byte cannot cut a character.
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Calls take(start, length) for each entry of the list, trimmed and not empty.
template <typename Take> void ForEachEntry(const char* text, Take take) {
    if (text == nullptr)
        return;
    const char* start = text;
    const char* p = text;
    for (;;) {
        const size_t separator = *p != '\0' ? SeparatorLength(p) : 0;
        if (*p != '\0' && separator == 0) {
            p += CharLength(p);
            continue;
        }
        const char* first = start;
        const char* last = p;
        while (first < last && IsBlank(*first))
            ++first;
        while (last > first && IsBlank(last[-1]))
            --last;
        if (last > first)
            take(first, static_cast<size_t>(last - first));
        if (*p == '\0')
            return;
        p += separator;
        start = p;
    }
}

size_t Aligned(size_t size) {
    const size_t alignment = alignof(SStringNode);
    return (size + alignment - 1) / alignment * alignment;
}

} // namespace

char* SStringList::Allocate(size_t size) {
    size = Aligned(size);
    if (size > spareSize) {
        size_t header = Aligned(sizeof(SBlock));
        size_t blockSize = size + header > kBlockSize ? size + header : kBlockSize;
        char* raw = new char[blockSize];
        SBlock* block = reinterpret_cast<SBlock*>(raw);
        block->previous = blocks;
        blocks = block;
        spare = raw + header;
        spareSize = blockSize - header;
    }
    char* result = spare;
    spare += size;
    spareSize -= size;
    return result;
}

SStringNode* SStringList::NewNode(const char* text, size_t length) {
    size_t textSize = text ? length + 1 : 0;
    char* storage = Allocate(sizeof(SStringNode) + textSize);
    SStringNode* node = reinterpret_cast<SStringNode*>(storage);
    node->text = nullptr;
    node->next = nullptr;
    node->prev = nullptr;
    node->length = 0;
    if (text) {
        node->text = storage + sizeof(SStringNode);
        std::memcpy(node->text, text, length);
        node->text[length] = '\0';
        node->length = static_cast<uint32_t>(length);
    }
    return node;
}

void SStringList::Clear() {
    while (blocks) {
        SBlock* previous = blocks->previous;
        delete[] reinterpret_cast<char*>(blocks);
        blocks = previous;
    }
    spare = nullptr;
    spareSize = 0;
    first = nullptr;
    last = nullptr;
}

void SStringList::AppendNode(SStringNode* node) {
    node->prev = last;
    if (last != nullptr) {
        last->next = node;
    } else {
        first = node;
    }
    last = node;
}

void SStringList::Append(const char* text) {
    AppendNode(NewNode(text, text ? std::strlen(text) : 0));
}

int SStringList::AppendCommaSeparated(const char* text) {
    int count = 0;
    ForEachEntry(text, [&](const char* entry, size_t length) {
        AppendNode(NewNode(entry, length));
        ++count;
    });
    return count;
}

char* SStringList::JoinWithCommas() const {
    if (first == nullptr)
        return nullptr;
    size_t size = 0;
    for (const SStringNode* node = first; node != nullptr; node = node->next)
        size += node->length + 1;
    char* joined = new char[size + 1];
    char* out = joined;
    for (const SStringNode* node = first; node != nullptr; node = node->next) {
        if (node->text != nullptr) {
            std::memcpy(out, node->text, node->length);
            out += node->length;
        }
        *out++ = ',';
    }
    out[-1] = '\0';
    return joined;
}

void SStringList::CopyFrom(const SStringList* other) {
    if (other == this)
        return;
    Clear();
    if (other == nullptr)
        return;
    for (const SStringNode* node = other->first; node; node = node->next)
        Append(node->text);
}

std::vector<std::string> SplitList(const char* text) {
    std::vector<std::string> entries;
    ForEachEntry(text,
                 [&](const char* entry, size_t length) { entries.emplace_back(entry, length); });
    return entries;
}

bool ListHas(const char* list, const char* entry) {
    if (entry == nullptr)
        return false;
    const size_t wanted = std::strlen(entry);
    bool found = false;
    ForEachEntry(list, [&](const char* each, size_t length) {
        found = found || (length == wanted && std::memcmp(each, entry, length) == 0);
    });
    return found;
}
