// Parsing a list and joining it with commas loses only the separators, the blanks around the
// fields and the empty ones, and a second parse gives the same list.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/list_model.h"
#include "support/string_list.h"

namespace {

// What a parse and a join must give.
std::string WithoutEmptyFields(const std::string& text) {
    std::string result;
    for (const std::string& field : ModelFields(text))
        result += (result.empty() ? "" : ",") + field;
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
