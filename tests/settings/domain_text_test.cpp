// The byte-level cases the stand-in scenario cannot type: full-width blanks (Shift-JIS 81 40)
// and a trail byte 0x40 that is no blank.
#include <gtest/gtest.h>

#include <string>

#include "settings/domain_text.h"

TEST(DomainText, EntryIsTrimmedLosesALeadingAtAndRefusesBlanksInside) {
    const struct {
        const char* typed;
        EDomainCheck check;
        const char* kept;
    } cases[] = {
        {" \t@example.co.jp\x81\x40", EDomainCheck::Ok, "example.co.jp"},
        {"\x83\x40.jp", EDomainCheck::Ok, "\x83\x40.jp"},
        {"\x81\x40 @ ", EDomainCheck::Empty, ""},
        {"a\x81\x40"
         "b.jp",
         EDomainCheck::BlankInside,
         "a\x81\x40"
         "b.jp"},
    };
    for (const auto& c : cases) {
        std::string kept;
        EXPECT_EQ(c.check, NormalizeDomain(c.typed, &kept)) << c.typed;
        EXPECT_EQ(c.kept, kept) << c.typed;
    }
}
