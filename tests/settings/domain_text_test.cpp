// Inner domains as typed: blanks around an entry dropped, blanks inside refused, a leading @
// dropped. Full-width space is Shift-JIS 81 40.
#include <gtest/gtest.h>

#include <string>

#include "settings/domain_text.h"
#include "support/string_list.h"

namespace {

TEST(DomainText, EntryDialogTrimsDropsAtAndRefusesBlanksInside) {
    struct Case {
        const char* typed;
        SDomainCheck check;
        const char* kept;
    } cases[] = {
        {"example.co.jp", SDomainCheck::Ok, "example.co.jp"},
        {" \t@example.co.jp\x81\x40", SDomainCheck::Ok, "example.co.jp"},
        {"@ example.co.jp", SDomainCheck::Ok, "example.co.jp"},
        {"", SDomainCheck::Empty, ""},
        {"\x81\x40 @ ", SDomainCheck::Empty, ""},
        {"example .co.jp", SDomainCheck::BlankInside, "example .co.jp"},
        {"example\x81\x40"
         "co.jp",
         SDomainCheck::BlankInside,
         "example\x81\x40"
         "co.jp"},
        // A trail byte 0x40 of another character is no blank.
        {"\x83\x40.jp", SDomainCheck::Ok, "\x83\x40.jp"},
    };
    for (const Case& c : cases) {
        std::string kept;
        EXPECT_EQ(c.check, NormalizeDomain(c.typed, &kept)) << c.typed;
        EXPECT_EQ(c.kept, kept) << c.typed;
    }
    EXPECT_EQ(SDomainCheck::Empty, NormalizeDomain(nullptr, nullptr));
}

TEST(DomainText, CommaSeparatedDomainsAreTrimmedAndEmptyFieldsSkipped) {
    SStringList list;
    AppendTrimmedDomains(&list, "example.co.jp, example.com ,\t, x.jp\x81\x40");
    std::string joined;
    for (const SStringNode* node = list.first; node; node = node->next)
        joined += std::string(node->text) + "|";
    EXPECT_EQ("example.co.jp|example.com|x.jp|", joined);
}

} // namespace
