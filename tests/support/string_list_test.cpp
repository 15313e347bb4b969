#include "support/string_list.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Texts front to back, checking the back links and lengths on the way.
std::vector<std::string> Texts(const SStringList& list) {
    std::vector<std::string> texts;
    const SStringNode* prev = nullptr;
    for (const SStringNode* node = list.first; node != nullptr; node = node->next) {
        EXPECT_EQ(node->prev, prev);
        const std::string text = node->text ? node->text : "<null>";
        EXPECT_EQ(node->length, node->text ? text.size() : 0u);
        texts.push_back(text);
        prev = node;
    }
    EXPECT_EQ(list.last, prev);
    return texts;
}

std::string Join(const SStringList& list) {
    std::unique_ptr<char[]> joined(list.JoinWithCommas());
    return joined ? joined.get() : "<null>";
}

using Texts_ = std::vector<std::string>;

// Every list of the plug-in is read by this one rule.
TEST(SStringList, ListsSplitAtCommasTrimmedWithoutEmptyEntries) {
    const struct {
        const char* text;
        Texts_ entries;
    } cases[] = {
        {",a.jp,,b.jp,", {"a.jp", "b.jp"}},
        {"", {}},
        {nullptr, {}},
        {",,,", {}},
        {"a.jp, b.jp", {"a.jp", "b.jp"}},
        {" \tc.jp \t, d.jp ", {"c.jp", "d.jp"}},
        {" , \t,", {}},
        {"a b.jp,0,3,1,2", {"a b.jp", "0", "3", "1", "2"}},
        // A lead byte before a comma is a byte of its own; 0x5C as a trail byte is no blank.
        {"\x82,\x95\x5C ,b", {"\x82", "\x95\x5C", "b"}},
        // Only ASCII blanks: a full-width one is the business of who reads the entry.
        {"\x81\x40x.jp", {"\x81\x40x.jp"}},
    };
    for (const auto& c : cases) {
        const char* shown = c.text ? c.text : "(null)";
        EXPECT_EQ(SplitList(c.text), c.entries) << shown;
        SStringList list;
        list.Append("kept");
        EXPECT_EQ(list.AppendCommaSeparated(c.text), static_cast<int>(c.entries.size())) << shown;
        Texts_ appended = {"kept"};
        appended.insert(appended.end(), c.entries.begin(), c.entries.end());
        EXPECT_EQ(Texts(list), appended) << shown;
    }
}

// A policy written "a.jp, b.jp" sets b.jp too.
TEST(SStringList, ListHasComparesWholeTrimmedEntries) {
    const struct {
        const char* list;
        const char* entry;
        bool has;
    } cases[] = {
        {"a.jp, b.jp", "b.jp", true}, {"a.jp,b.jp", "a.jp", true}, {" b.jp\t", "b.jp", true},
        {"ab.jp", "b.jp", false},     {"a.jp,b.jp", "b", false},   {"a.jp,,", "", false},
        {nullptr, "a.jp", false},     {"a.jp", nullptr, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ListHas(c.list, c.entry), c.has)
            << (c.list ? c.list : "(null)") << " / " << (c.entry ? c.entry : "(null)");
}

TEST(SStringList, JoinWithCommas) {
    SStringList list;
    EXPECT_EQ(list.JoinWithCommas(), nullptr);
    list.Append("A");
    EXPECT_EQ(Join(list), "A");
    list.Append("B");
    EXPECT_EQ(Join(list), "A,B");
    list.Append(nullptr);
    list.Append("");
    list.Append("C");
    EXPECT_EQ(Join(list), "A,B,,,C");
}

TEST(SStringList, JoinThenParseRoundTrip) {
    SStringList list;
    list.AppendCommaSeparated("x.co.jp, y.jp,\x95\x5C.jp");
    std::unique_ptr<char[]> joined(list.JoinWithCommas());
    SStringList again;
    EXPECT_EQ(again.AppendCommaSeparated(joined.get()), 3);
    EXPECT_EQ(Texts(again), Texts(list));
}

TEST(SStringList, ClearEmptiesTheList) {
    SStringList list;
    list.AppendCommaSeparated("a,b,c");
    list.Clear();
    EXPECT_EQ(list.first, nullptr);
    EXPECT_EQ(list.last, nullptr);
    list.Append("d");
    EXPECT_EQ(Texts(list), (Texts_{"d"}));
}

TEST(SStringList, CopyFromReplacesWithIndependentCopies) {
    SStringList source;
    source.Append("a");
    source.Append(nullptr);
    source.Append("b");
    SStringList copy;
    copy.Append("old");
    copy.CopyFrom(&source);
    EXPECT_EQ(Texts(copy), (Texts_{"a", "<null>", "b"}));
    EXPECT_NE(copy.first->text, source.first->text);

    copy.CopyFrom(&copy);
    EXPECT_EQ(Texts(copy), (Texts_{"a", "<null>", "b"}));
    copy.CopyFrom(nullptr);
    EXPECT_EQ(Texts(copy), Texts_());
}

} // namespace
