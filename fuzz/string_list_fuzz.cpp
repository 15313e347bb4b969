// Parsing comma-separated text and joining it again loses only the blanks around the fields
// and the empty ones, and a second parse gives the same list.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "support/string_list.h"

namespace {

// The input with each field trimmed of blanks and tabs and the empty ones dropped: what a parse
// and a join must give.
std::string WithoutEmptyFields(const std::string& text) {
    std::string result;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t comma = text.find(',', pos);
        if (comma == std::string::npos)
            comma = text.size();
        const std::string field = text.substr(pos, comma - pos);
        const size_t first = field.find_first_not_of(" \t");
        if (first != std::string::npos) {
            if (!result.empty())
                result += ',';
            result += field.substr(first, field.find_last_not_of(" \t") - first + 1);
        }
        pos = comma + 1;
    }
    return result;
}

bool SameTexts(const SStringList& a, const SStringList& b) {
    const SStringNode* x = a.first;
    const SStringNode* y = b.first;
    for (; x != nullptr && y != nullptr; x = x->next, y = y->next) {
        if (x->length != y->length || std::strcmp(x->text, y->text) != 0)
            return false;
    }
    return x == nullptr && y == nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string cText = text.c_str(); // up to the first NUL
    SStringList list;
    const int count = list.AppendCommaSeparated(cText.c_str());
    std::unique_ptr<char[]> joined(list.JoinWithCommas());
    const std::string expected = WithoutEmptyFields(cText);
    if ((count == 0) != (joined == nullptr))
        __builtin_trap();
    if (joined && expected != joined.get())
        __builtin_trap();

    // The vector, the list and the membership test read the same entries.
    const std::vector<std::string> entries = SplitList(cText.c_str());
    size_t index = 0;
    for (const SStringNode* node = list.first; node; node = node->next, ++index) {
        if (index >= entries.size() || entries[index] != node->text ||
            !ListHas(cText.c_str(), node->text))
            __builtin_trap();
    }
    if (index != entries.size())
        __builtin_trap();

    SStringList again;
    if (again.AppendCommaSeparated(joined.get()) != count)
        __builtin_trap();
    if (!SameTexts(list, again))
        __builtin_trap();
    SStringList copy;
    copy.CopyFrom(&again);
    if (!SameTexts(copy, list))
        __builtin_trap();
    return 0;
}
