// The history's saved text is read from a file anyone can edit: any bytes parse without harm,
// and whatever loads is written back the same and loads again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "confirm/domain_history.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SDomainHistory history;
    const EHistoryParse result = history.Parse(reinterpret_cast<const char*>(data), size);
    if (result != kHistoryLoaded) {
        if (history.Size() != 0 || (result == kHistoryEmpty) != (size == 0))
            __builtin_trap();
        return 0;
    }
    const std::string text = history.Serialize();
    SDomainHistory again;
    if (again.Parse(text.data(), text.size()) != kHistoryLoaded || again.Serialize() != text ||
        again.Size() != history.Size())
        __builtin_trap();
    history.Learn({"new.test"}, {2026, 12, 1, 7, 10, 0, 0, 0});
    if (!history.Knows("new.test") || history.Size() > SDomainHistory::kMaxDomains)
        __builtin_trap();
    return 0;
}
