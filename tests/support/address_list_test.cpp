#include "support/address_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Walks a writable copy of text and collects every entry.
std::vector<std::string> Walk(const std::string& text) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    std::vector<std::string> entries;
    for (char* entry = NextAddress(buffer.data()); entry != nullptr; entry = NextAddress(nullptr))
        entries.push_back(entry);
    return entries;
}

using Entries = std::vector<std::string>;

struct SSplit {
    std::string name;
    std::string address;
};

SSplit Split(const std::string& entry) {
    std::vector<char> name(kAddressPartSize, 'x');
    std::vector<char> address(kAddressPartSize, 'x');
    SplitAddress(name.data(), address.data(), entry.c_str());
    return {name.data(), address.data()};
}

TEST(NextAddress, EmptyOrOnlySeparatorsYieldsNothing) {
    EXPECT_EQ(Walk(""), Entries());
    EXPECT_EQ(Walk(" ,;\t\r\n, ;"), Entries());
    EXPECT_EQ(NextAddress(nullptr), nullptr);
}

TEST(NextAddress, CommaAndSemicolonSeparateAndBlanksAreCut) {
    EXPECT_EQ(Walk("a@x.jp, b@y.jp;c@z.jp"), (Entries{"a@x.jp", "b@y.jp", "c@z.jp"}));
    // A value folded over several lines.
    EXPECT_EQ(Walk("a@x.jp \r\n\t,\r\n b@y.jp\r\n "), (Entries{"a@x.jp", "b@y.jp"}));
}

TEST(NextAddress, QuotedNameKeepsItsComma) {
    EXPECT_EQ(Walk("\"Doe, John\" <j@x.jp>, k@y.jp"),
              (Entries{"\"Doe, John\" <j@x.jp>", "k@y.jp"}));
    // An unbalanced quote swallows the rest of the text.
    EXPECT_EQ(Walk("\"Doe, j@x.jp; k@y.jp"), (Entries{"\"Doe, j@x.jp; k@y.jp"}));
}

TEST(NextAddress, CommentKeepsItsComma) {
    EXPECT_EQ(Walk("a@x.jp (Doe, John), b@y.jp"), (Entries{"a@x.jp (Doe, John)", "b@y.jp"}));
    EXPECT_EQ(Walk("a@x.jp (one)(two, three); b@y.jp"),
              (Entries{"a@x.jp (one)(two, three)", "b@y.jp"}));
    // A comment without ')' runs to the end.
    EXPECT_EQ(Walk("a@x.jp (open, b@y.jp"), (Entries{"a@x.jp (open, b@y.jp"}));
}

TEST(NextAddress, QuoteInsideCommentEndsItOnlyWhenQuoted) {
    // Quote on: the '"' in the comment closes both, so the comma separates.
    EXPECT_EQ(Walk("\"x (y\", b@y.jp"), (Entries{"\"x (y\"", "b@y.jp"}));
    // Quote off: the '"' in the comment is ignored until ')'.
    EXPECT_EQ(Walk("a (\"q, r\"), b"), (Entries{"a (\"q, r\")", "b"}));
}

TEST(NextAddress, LeadingCommentIsDropped) {
    EXPECT_EQ(Walk("(team), a@x.jp"), (Entries{"a@x.jp"}));
    EXPECT_EQ(Walk("  (team) a@x.jp (note)"), (Entries{"a@x.jp (note)"}));
    // Left open, it swallows the rest, which stays one entry.
    EXPECT_EQ(Walk("(no close, a@x.jp"), (Entries{"(no close, a@x.jp"}));
}

TEST(NextAddress, BackslashEscapesInsideQuotesAndComments) {
    EXPECT_EQ(Walk("\"5\\\" Disk\" <a@x.jp>, b@y.jp"),
              (Entries{"\"5\\\" Disk\" <a@x.jp>", "b@y.jp"}));
    EXPECT_EQ(Walk("a@x.jp (1\\) 2, 3), b@y.jp"), (Entries{"a@x.jp (1\\) 2, 3)", "b@y.jp"}));
    EXPECT_EQ(Walk("(a\\), b) c@x.jp"), (Entries{"c@x.jp"}));
    // Outside both it is an ordinary byte.
    EXPECT_EQ(Walk("a\\\"b, c\", d"), (Entries{"a\\\"b, c\"", "d"}));
}

TEST(NextAddress, LeadingCommentWithoutCloseStaysAtEnd) {
    char text[] = "(open a@x.jp";
    EXPECT_STREQ(NextAddress(text), "(open a@x.jp");
    EXPECT_EQ(NextAddress(nullptr), nullptr);
    EXPECT_EQ(NextAddress(nullptr), nullptr);
}

TEST(NextAddress, DoubleByteCharacterIsNeverSpecial) {
    // A lead byte takes a trail byte with it (0x5C is no escape then); before any other byte
    // it is a byte of its own and hides nothing.
    EXPECT_EQ(Walk("\"\x95\x5C\", a@x.jp"), (Entries{"\"\x95\x5C\"", "a@x.jp"}));
    EXPECT_EQ(Walk("(\x95\x5C) a@x.jp, b"), (Entries{"a@x.jp", "b"}));
    EXPECT_EQ(Walk("\x81, a@x.jp"), (Entries{"\x81", "a@x.jp"}));
    EXPECT_EQ(Walk("(\x81) a@x.jp, b"), (Entries{"a@x.jp", "b"}));
    EXPECT_EQ(Walk("\"\x81\", b"), (Entries{"\"\x81\"", "b"}));
    EXPECT_EQ(Walk("\x95\x5C\x8E\xA6 <a@x.jp>, b@y.jp"),
              (Entries{"\x95\x5C\x8E\xA6 <a@x.jp>", "b@y.jp"}));
}

TEST(NextAddress, LeadByteAtEndOfText) {
    EXPECT_EQ(Walk("a@x.jp\x81"), (Entries{"a@x.jp\x81"}));
    EXPECT_EQ(Walk("a@x.jp (c\x81"), (Entries{"a@x.jp (c\x81"}));
}

TEST(NextAddress, NewTextAbandonsWalkInProgress) {
    char first[] = "a@x.jp, b@y.jp";
    char second[] = "c@z.jp";
    EXPECT_STREQ(NextAddress(first), "a@x.jp");
    EXPECT_STREQ(NextAddress(second), "c@z.jp");
    EXPECT_EQ(NextAddress(nullptr), nullptr);
}

TEST(SplitAddress, UsualForms) {
    struct {
        const char* entry;
        const char* name;
        const char* address;
    } cases[] = {
        {"John  Doe <j@x.jp>", "John  Doe", "j@x.jp"},
        {"\"Doe, John <x>\" <j@x.jp>", "Doe, John <x>", "j@x.jp"},
        {"<j@x.jp>", "", "j@x.jp"},
        {"j@x.jp  (John Doe)", "John Doe", "j@x.jp"},
        {"  \tj@x.jp \t", "", "j@x.jp"},
        {"<>", "", ""},
        {"Name <j@x.jp", "Name", "j@x.jp"},
        {"\"\" <j@x.jp>", "", "j@x.jp"},
        {"", "", ""},
        {" \t ", "", ""},
        {"\x95\x5C <a@x.jp>", "\x95\x5C", "a@x.jp"},
        {"\x81<a@x.jp", "\x81", "a@x.jp"}, // no trail byte: the lead byte hides no '<'
        {"a@x.jp\x81", "", "a@x.jp\x81"},
    };
    for (const auto& c : cases) {
        const SSplit split = Split(c.entry);
        EXPECT_EQ(split.name, c.name) << c.entry;
        EXPECT_EQ(split.address, c.address) << c.entry;
    }
}

TEST(SplitAddress, LongPartsAreCutToTheOutput) {
    const std::string longName(5000, 'n');
    const std::string longAddress(5000, 'a');
    SSplit split = Split(longName + " <" + longAddress + ">");
    EXPECT_EQ(split.name, std::string(kAddressPartSize - 1, 'n'));
    EXPECT_EQ(split.address, std::string(kAddressPartSize - 1, 'a'));
    split = Split(longAddress);
    EXPECT_EQ(split.address.size(), static_cast<size_t>(kAddressPartSize - 1));
}

TEST(SplitAddress, WalkThenSplitEveryEntry) {
    std::vector<char> text;
    const std::string value = "\"Sato, Ken\" <ken@x.jp>, yui@y.jp (Yui), <rin@z.jp>";
    text.assign(value.begin(), value.end());
    text.push_back('\0');
    std::vector<std::string> addresses;
    for (char* e = NextAddress(text.data()); e != nullptr; e = NextAddress(nullptr))
        addresses.push_back(Split(e).address);
    EXPECT_EQ(addresses, (std::vector<std::string>{"ken@x.jp", "yui@y.jp", "rin@z.jp"}));
}

} // namespace
