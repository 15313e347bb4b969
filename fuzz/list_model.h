// The lists' reference reading for the fuzz targets, written apart from the code it checks:
// fields parted at , ; CR LF or Shift-JIS's full-width and ideographic commas (at character
// starts only), trimmed of blanks and tabs, the empty ones dropped.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "support/mbcs.h"

inline size_t ModelSeparatorAt(const std::string& text, size_t i) {
    const char c = text[i];
    if (c == ',' || c == ';' || c == '\r' || c == '\n')
        return 1;
    if (c == '\x81' && i + 1 < text.size() && (text[i + 1] == '\x43' || text[i + 1] == '\x41'))
        return 2;
    return 0;
}

inline std::vector<std::string> ModelFields(const std::string& text) {
    std::vector<std::string> fields;
    size_t start = 0;
    size_t i = 0;
    for (;;) {
        const size_t width = i < text.size() ? ModelSeparatorAt(text, i) : 0;
        if (i < text.size() && width == 0) {
            i += CharLength(text.c_str() + i);
            continue;
        }
        const std::string field = text.substr(start, std::min(i, text.size()) - start);
        const size_t first = field.find_first_not_of(" \t");
        if (first != std::string::npos)
            fields.push_back(field.substr(first, field.find_last_not_of(" \t") - first + 1));
        if (i >= text.size())
            return fields;
        i += width;
        start = i;
    }
}
