// Which recipients count as inside the organisation.
#include <gtest/gtest.h>

#include "delay/recipient_class.h"
#include "support/string_list.h"

TEST(InnerAddress, MatchesTheDomainPartCaseSensitivelyAsASubstring) {
    SStringList domains;
    domains.Append("example.co.jp");
    EXPECT_TRUE(IsInnerAddress("taro@example.co.jp", &domains));
    EXPECT_TRUE(IsInnerAddress("taro@mail.example.co.jp", &domains));     // sub-domain
    EXPECT_TRUE(IsInnerAddress("taro@example.co.jp.evil.com", &domains)); // merely contains
    EXPECT_TRUE(IsInnerAddress("taro@notexample.co.jp", &domains));
    EXPECT_FALSE(IsInnerAddress("taro@Example.co.jp", &domains));
    EXPECT_FALSE(IsInnerAddress("example.co.jp@other.com", &domains)); // only after the first @
    EXPECT_TRUE(IsInnerAddress("a@b@example.co.jp", &domains));
}

TEST(InnerAddress, WithoutDomainsOrAtSignEverythingIsOuter) {
    SStringList domains;
    EXPECT_FALSE(IsInnerAddress("taro@example.co.jp", nullptr));
    EXPECT_FALSE(IsInnerAddress("taro@example.co.jp", &domains));
    domains.Append("example.co.jp");
    EXPECT_FALSE(IsInnerAddress("example.co.jp", &domains));
    EXPECT_FALSE(IsInnerAddress("", &domains));
}

TEST(InnerAddress, AnEmptyDomainEntryMatchesNothing) {
    // The setup dialog accepts an empty entry; it must not make outside mail inner.
    SStringList domains;
    domains.Append("");
    domains.Append(nullptr);
    EXPECT_FALSE(IsInnerAddress("someone@outside.com", &domains));
    domains.Append("inside.jp");
    EXPECT_TRUE(IsInnerAddress("someone@inside.jp", &domains));
}
