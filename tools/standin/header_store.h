// The header fields of one message being composed, in the order they were first set.
#pragma once
#include <string>
#include <utility>
#include <vector>

class HeaderStore {
  public:
    typedef std::pair<std::string, std::string> Field;

    // Copies the value into the caller's buffer, always NUL-terminated and never past size;
    // an absent header reads as the empty text, and a double-byte character is never cut.
    // Returns the number of bytes copied, or the value's whole length when it did not fit.
    int Get(const char* name, char* buffer, int size) const;
    // The empty value removes the field: an empty status header means "no status".
    void Set(const char* name, const char* value);

    std::string Value(const std::string& name) const;
    bool Has(const std::string& name) const;
    const std::vector<Field>& Fields() const { return fields; }

  private:
    int Find(const char* name) const;

    std::vector<Field> fields;
};
