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

TEST(SStringList, AppendCommaSeparatedSkipsEmptyFieldsAndKeepsBlanks) {
    SStringList list;
    EXPECT_EQ(list.AppendCommaSeparated(",a.jp,,b.jp,"), 2);
    EXPECT_EQ(list.AppendCommaSeparated(""), 0);
    EXPECT_EQ(list.AppendCommaSeparated(nullptr), 0);
    EXPECT_EQ(list.AppendCommaSeparated(",,,"), 0);
    // Appends without clearing; fields are not trimmed.
    EXPECT_EQ(list.AppendCommaSeparated("c.jp, d.jp "), 2);
    EXPECT_EQ(Texts(list), (Texts_{"a.jp", "b.jp", "c.jp", " d.jp "}));
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
