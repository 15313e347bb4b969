#include "support/string_list.h"

#include <cstring>

namespace {

// A node and its text share one allocation: a recipient list has thousands of them.
SStringNode* NewNode(const char* text, size_t length) {
    size_t textSize = text ? length + 1 : 0;
    char* block = new char[sizeof(SStringNode) + textSize];
    SStringNode* node = reinterpret_cast<SStringNode*>(block);
    node->text = nullptr;
    node->next = nullptr;
    node->prev = nullptr;
    node->length = 0;
    if (text) {
        node->text = block + sizeof(SStringNode);
        std::memcpy(node->text, text, length);
        node->text[length] = '\0';
        node->length = static_cast<uint32_t>(length);
    }
    return node;
}

} // namespace

void SStringList::Clear() {
    SStringNode* node = first;
    while (node != nullptr) {
        SStringNode* next = node->next;
        delete[] reinterpret_cast<char*>(node);
        node = next;
    }
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
