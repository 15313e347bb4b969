#include "support/string_list.h"

#include <cstring>

namespace {

char* CopyOf(const char* text, size_t length) {
    char* copy = new char[length + 1];
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

} // namespace

void SStringList::Clear() {
    SStringNode* node = first;
    while (node != nullptr) {
        SStringNode* next = node->next;
        delete[] node->text;
        delete node;
        node = next;
    }
    first = nullptr;
    last = nullptr;
}

void SStringList::AppendOwned(char* text, uint32_t length) {
    SStringNode* node = new SStringNode{text, nullptr, last, length};
    if (last != nullptr) {
        last->next = node;
    } else {
        first = node;
    }
    last = node;
}

void SStringList::Append(const char* text) {
    if (text == nullptr) {
        AppendOwned(nullptr, 0);
        return;
    }
    const size_t length = std::strlen(text);
    char* copy = CopyOf(text, length);
    try {
        AppendOwned(copy, static_cast<uint32_t>(length));
    } catch (...) {
        delete[] copy;
        throw;
    }
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
        char* copy = CopyOf(p, length);
        try {
            AppendOwned(copy, static_cast<uint32_t>(length));
        } catch (...) {
            delete[] copy;
            throw;
        }
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
