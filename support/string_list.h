#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Lists as people type them ("a.jp, b.jp"): the entries between the separators, each without
// the blanks and tabs around it; entries left empty are dropped. Every list of the plug-in is
// read this way.
std::vector<std::string> SplitList(const char* text);
// True when entry is one of the list's entries as SplitList reads them.
bool ListHas(const char* list, const char* entry);

struct SStringNode {
    char* text; // in the list's own storage, may be null
    SStringNode* next;
    SStringNode* prev;
    uint32_t length; // bytes of text without the NUL, 0 for a null text
};

// Ordered list of owned texts, parsed from and joined to comma-separated
// text.
class SStringList {
  public:
    SStringNode* first = nullptr;
    SStringNode* last = nullptr;

    SStringList() = default;
    ~SStringList() { Clear(); }
    SStringList(const SStringList&) = delete;
    SStringList& operator=(const SStringList&) = delete;

    void Clear();
    // Appends a copy of text; a null text makes a node with a null text.
    void Append(const char* text);
    // Appends one node per entry of the list, as SplitList reads it. Returns the number of
    // nodes appended.
    int AppendCommaSeparated(const char* text);
    // All texts joined with single commas, or null when the list is empty.
    // The caller frees the result with delete[].
    char* JoinWithCommas() const;
    void CopyFrom(const SStringList* other);

  private:
    SStringNode* NewNode(const char* text, size_t length);
    char* Allocate(size_t size);
    void AppendNode(SStringNode* node);

    // Nodes and texts are carved from blocks the list owns: a recipient list has thousands.
    struct SBlock {
        SBlock* previous;
    };
    SBlock* blocks = nullptr;
    char* spare = nullptr;
    size_t spareSize = 0;
};
