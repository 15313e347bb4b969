// Walks any header value with NextAddress and splits every entry.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "support/address_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 65535)
        return 0;
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    const char* textEnd = text.data() + size;
    std::vector<char> name(kAddressPartSize);
    std::vector<char> address(kAddressPartSize);
    size_t entries = 0;
    for (char* entry = NextAddress(text.data()); entry != nullptr; entry = NextAddress(nullptr)) {
        // Entries lie inside the text and are never empty; the walk ends.
        if (entry < text.data() || entry >= textEnd || *entry == '\0')
            __builtin_trap();
        if (++entries > size)
            __builtin_trap();
        SplitAddress(name.data(), address.data(), entry);
        if (std::strlen(name.data()) >= kAddressPartSize)
            __builtin_trap();
        if (std::strlen(address.data()) >= kAddressPartSize)
            __builtin_trap();
    }
    return 0;
}
