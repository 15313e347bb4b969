// SplitPath and ChangeExtension on any path: outputs stay within their sizes,
// the parts put back together give the path, separators fall where they belong, and the
// needed size is honest.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "support/mbcs.h"
#include "support/path_utils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    // First byte picks the output sizes, the rest is the path.
    const size_t small = 1 + data[0] % 8;
    const std::string path(reinterpret_cast<const char*>(data + 1), size - 1);
    const char* p = path.c_str();
    const size_t length = std::strlen(p);

    std::vector<char> drive(length + 1), dir(length + 1), name(length + 1), ext(length + 1);
    SplitPath(p, drive.data(), drive.size(), dir.data(), dir.size(), name.data(), name.size(),
              ext.data(), ext.size());
    const std::string joined = std::string(drive.data()) + dir.data() + name.data() + ext.data();
    if (joined != p)
        __builtin_trap();
    // Read forward, the name holds no separator and a directory ends in one.
    for (const char* q = name.data(); *q != '\0'; q += CharLength(q)) {
        if (*q == '\\' || *q == '/' || *q == ':')
            __builtin_trap();
    }
    const char* lastInDirectory = nullptr;
    for (const char* q = dir.data(); *q != '\0'; q += CharLength(q))
        lastInDirectory = q;
    if (lastInDirectory && *lastInDirectory != '\\' && *lastInDirectory != '/' &&
        *lastInDirectory != ':')
        __builtin_trap();

    std::vector<char> tiny(small);
    SplitPath(p, tiny.data(), tiny.size(), nullptr, 0, nullptr, 0, nullptr, 0);
    if (std::strlen(tiny.data()) >= small)
        __builtin_trap();

    const size_t needed = ChangeExtension(nullptr, 0, p, "ini");
    std::vector<char> out(needed);
    if (ChangeExtension(out.data(), out.size(), p, "ini") != 0)
        __builtin_trap();
    if (std::strlen(out.data()) >= needed)
        __builtin_trap();
    if (needed > 0) {
        std::vector<char> shortOut(needed - 1, '#');
        if (ChangeExtension(shortOut.data(), shortOut.size(), p, "ini") != needed)
            __builtin_trap();
    }

    std::vector<char> trimmed(p, p + length + 1);
    const size_t newLength = TrimSuffix(trimmed.data(), "\\");
    if (newLength != std::strlen(trimmed.data()) || newLength + 1 < length)
        __builtin_trap();
    return 0;
}
