#include "support/string_list.h"

#include <cstring>

namespace {

const size_t kBlockSize = 8192;

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
    if (text == nullptr)
        return 0;
    int count = 0;
    const char* p = text;
    while (*p != '\0') {
        while (*p == ',')
            ++p;
        if (*p == '\0')
            break;
        const char* end = std::strchr(p, ',');
        const size_t length = end ? static_cast<size_t>(end - p) : std::strlen(p);
        AppendNode(NewNode(p, length));
        ++count;
        p += length;
    }
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
