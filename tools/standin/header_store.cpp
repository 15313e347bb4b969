#include "tools/standin/header_store.h"

#include <windows.h>

#include <cstring>

namespace {

// A lead byte makes a pair only with a byte that can follow it; otherwise it stands alone.
size_t CharBytes(const std::string& value, size_t at) {
    if (!IsDBCSLeadByte(static_cast<BYTE>(value[at])) || at + 1 >= value.size())
        return 1;
    const BYTE trail = static_cast<BYTE>(value[at + 1]);
    return (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC) ? 2 : 1;
}

} // namespace

int HeaderStore::Find(const char* name) const {
    for (size_t i = 0; i < fields.size(); ++i)
        if (lstrcmpiA(fields[i].first.c_str(), name) == 0)
            return static_cast<int>(i);
    return -1;
}

int HeaderStore::Get(const char* name, char* buffer, int size) const {
    if (!buffer || size <= 0)
        return 0;
    buffer[0] = '\0';
    if (!name)
        return 0;
    int at = Find(name);
    if (at < 0)
        return 0;
    const std::string& value = fields[at].second;
    size_t room = static_cast<size_t>(size - 1);
    size_t copied = 0;
    if (value.size() <= room)
        copied = value.size();
    // Cut short: stop before a double-byte character that would not fit whole.
    while (copied < value.size()) {
        size_t step = CharBytes(value, copied);
        if (copied + step > room)
            break;
        copied += step;
    }
    if (copied > value.size())
        copied = value.size();
    memcpy(buffer, value.data(), copied);
    buffer[copied] = '\0';
    // Cut short, the answer is the whole value's length, so the caller can tell.
    return static_cast<int>(copied < value.size() ? value.size() : copied);
}

void HeaderStore::Set(const char* name, const char* value) {
    if (!name || !*name)
        return;
    int at = Find(name);
    if (!value || !*value) {
        if (at >= 0)
            fields.erase(fields.begin() + at);
        return;
    }
    if (at >= 0)
        fields[at].second = value;
    else
        fields.push_back(Field(name, value));
}

std::string HeaderStore::Value(const std::string& name) const {
    int at = Find(name.c_str());
    return at < 0 ? std::string() : fields[at].second;
}

bool HeaderStore::Has(const std::string& name) const {
    return Find(name.c_str()) >= 0;
}
