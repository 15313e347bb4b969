// Parsing a list and joining it with commas loses only the separators, the blanks around the
// fields and the empty ones, and a second parse gives the same list.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "support/mbcs.h"
#include "support/string_list.h"

namespace {

// Bytes of the separator starting the character at i: , ; CR LF, or the full-width comma and
// the ideographic comma of Shift-JIS.
size_t SeparatorAt(const std::string& text, size_t i) {
    const char c = text[i];
    if (c == ',' || c == ';' || c == '\r' || c == '\n')
        return 1;
    if (c == '\x81' && i + 1 < text.size() && (text[i + 1] == '\x43' || text[i + 1] == '\x41'))
        return 2;
    return 0;
}

// The input with each field trimmed of blanks and tabs and the empty ones dropped: what a parse
// and a join must give.
std::string WithoutEmptyFields(const std::string& text) {
    std::string result;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t comma = pos;
        size_t width = 0;
        while (comma < text.size() && (width = SeparatorAt(text, comma)) == 0)
            comma += CharLength(text.c_str() + comma);
        comma = comma < text.size() ? comma : text.size();
        const std::string field = text.substr(pos, comma - pos);
        const size_t first = field.find_first_not_of(" \t");
        if (first != std::string::npos) {
            if (!result.empty())
                result += ',';
            result += field.substr(first, field.find_last_not_of(" \t") - first + 1);
        }
        pos = comma + (width > 0 ? width : 1);
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
