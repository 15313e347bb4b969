// The warnings' and the log's texts: names from the message stay bounded and harmless.
#include <gtest/gtest.h>

#include <string>

#include "confirm/confirm_rows.h"
#include "confirm/confirm_text.h"

namespace {

SConfirmWarning NewDomains(int count, const std::string& stem) {
    SConfirmWarning warning;
    warning.kind = EWarningKind::NewDomain;
    for (int i = 0; i < count; ++i)
        warning.names.push_back(stem + std::to_string(i) + ".example");
    return warning;
}

} // namespace

TEST(ConfirmText, NewDomainWarningNamesABoundedFewAndCountsTheRest) {
    EXPECT_EQ("初めて送るドメインがあります: a0.example, a1.example。"
              "宛先に誤りがないか確認してください。",
              WarningText(NewDomains(2, "a")));

    // 500 names of 30 bytes: only the first few fit; the rest are counted, not dropped.
    std::string text = WarningText(NewDomains(500, std::string(18, 'd')));
    EXPECT_LT(text.size(), 400u);
    size_t named = 0;
    for (size_t at = text.find(".example"); at != std::string::npos;
         at = text.find(".example", at + 1))
        ++named;
    EXPECT_NE(std::string::npos, text.find(" ほか " + std::to_string(500 - named) + " 件"));
    EXPECT_GT(named, 0u);
}

TEST(ConfirmText, NamesAreEscapedAndCannotUnderlineACharacter) {
    SConfirmWarning warning;
    warning.kind = EWarningKind::NewDomain;
    warning.names = {"r&d\x01.example"};
    std::string text = WarningText(warning);
    EXPECT_NE(std::string::npos, text.find("r&&d\\x01.example")) << text;
    EXPECT_EQ("R&&D 部 && 営業", ButtonText("R&D 部 & 営業"));
}

TEST(ConfirmText, LogLinesCarryCountsAndABoundedSubject) {
    EXPECT_EQ("宛先確認で送信 件名「見積」 組織内=2 組織外=3 確認した警告=1",
              ConfirmSentLogText("見積", 2, 3, 1));
    std::string cut = ConfirmCancelledLogText(std::string(1000, 's'), EConfirmEnd::ByUser);
    EXPECT_NE(std::string::npos, cut.find(std::string(256, 's') + "...」 理由=ユーザー"));
    EXPECT_EQ(std::string::npos, cut.find(std::string(257, 's')));
}

// One line per warning: its kind and what the domain resembled, bounded; nothing else.
TEST(ConfirmText, WarningLogLinesNameKindAndResembledDomain) {
    SConfirmModel model;
    SConfirmRow like;
    like.kind = ERowKind::Lookalike;
    like.domain = "exarnple.co.jp";
    like.resembles = "example.co.jp";
    SConfirmRow word;
    word.kind = ERowKind::Keyword;
    word.field = kFieldSubject;
    word.entry = "社外秘";
    SConfirmRow plain;
    plain.domain = "other.test\x01";
    model.rows = {word, like, plain};
    SConfirmWarning mass;
    mass.addresses = 12;
    model.warnings = {mass};
    EXPECT_EQ((std::vector<std::string>{
                  "宛先確認の警告 種類=社外秘の語 語「社外秘」",
                  "宛先確認の警告 種類=似たドメイン ドメイン=exarnple.co.jp 似ている=example.co.jp",
                  "宛先確認の警告 種類=一斉送信 組織外=12"}),
              WarningLogLines(model));
    EXPECT_EQ("example.co.jp に似ています", AttentionText(like));
    like.domain = std::string(300, 'x') + "\n.test";
    EXPECT_LT(WarningLogLines(model)[1].size(), 200u);
    EXPECT_EQ(std::string::npos, WarningLogLines(model)[1].find('\n'));
}
