// Prints the key table, one key a line, for the check of the Group Policy templates and for the
// guide's table of keys:
// name|section|type|default|min|max|choices|rule|safe|label|meaning
#include <cstdio>

#include "settings/setting_keys.h"

int main() {
    const char* types[] = {"text", "list", "int"};
    const char* rules[] = {"fixed",  "higher",      "lower",      "fewer-not-zero",
                           "ranked", "domain-list", "word-union", "name-map"};
    for (size_t i = 0; i < kKeyCount; ++i) {
        const SSettingKey& key = KeyTable()[i];
        std::printf("%s|%s|%s|%s|%d|%d|%s|%s|%d|%s|%s\n", key.name, key.section ? key.section : "",
                    types[static_cast<int>(key.type)], key.defaultText, key.minValue, key.maxValue,
                    key.choices ? key.choices : "", rules[static_cast<int>(key.rule)],
                    key.safeValue, key.label, key.meaning);
    }
    return 0;
}
