// Prints every line the operation log can write, made by the functions that write it from
// sample values, one a line: level|example|when. The guide's catalogue of log lines is this
// output; its check compares the two.
#include <cstdio>
#include <string>
#include <vector>

#include "confirm/confirm_rows.h"
#include "confirm/confirm_text.h"
#include "delay/bcc_move.h"
#include "journal/hold_log_text.h"
#include "settings/ini_text.h"
#include "settings/setting_merge.h"

namespace {

const char kMailbox[] = "C:\\Mail\\Tarou\\";
const char kSubject[] = "見積書";
const char kJournal[] = "C:\\Velmora\\Journal\\1.rec";
const char kHistory[] = "C:\\Velmora\\DomainHistory.txt";

void Line(int level, const std::string& example, const char* when) {
    std::printf("%d|%s|%s\n", level, example.c_str(), when);
}

SUserValue User(const char* text) {
    SUserValue value;
    value.present = true;
    value.text = text;
    return value;
}

const char kSettings[] = "C:\\Users\\tarou\\AppData\\Roaming\\Tarnwyk\\Velmora\\Velmora.ini";

// In the order the start writes them: the files that cannot be read, then every key.
void SettingLines() {
    const ETextEncoding encodings[] = {ETextEncoding::Ansi,       ETextEncoding::Utf8Bom,
                                       ETextEncoding::Utf16LeBom, ETextEncoding::Utf16BeBom,
                                       ETextEncoding::Utf32Bom,   ETextEncoding::UnknownBom};
    for (ETextEncoding encoding : encodings)
        Line(6,
             UnreadableFileLogText(RefusalText(encoding != ETextEncoding::Ansi, encoding),
                                   "C:\\Velmora\\Velmora.ini"),
             "設定ファイルを読めないとき。すべての数値のキーを、数字のない値として読む");
    SUserValue user[kKeyCount];
    SMergedValue merged[kKeyCount];
    SPolicy refused;
    refused.refusedFile = LockedRefusalText();
    refused.filePath = "C:\\Program Files\\Mail\\plugins\\zVelmora.policy.ini";
    MergeSettings(user, refused, nullptr, merged);
    Line(6, MergeLogLines(user, refused, merged)[0],
         "ポリシーファイルがあるのに、2 秒待っても読めないとき（理由は上の設定ファイルと同じか、"
         "ほかのプログラムが開いたまま）");

    SPolicy policy;
    const auto at = [](EKeyId id) { return static_cast<size_t>(id); };
    user[at(EKeyId::Confirm)] = User("0");
    user[at(EKeyId::CtrlBypass)] = User("on");
    user[at(EKeyId::OutsideKeywords)] = User("社外秘;親展");
    policy.Set(EKeyId::Confirm, SPolicyValue{true, true, "3", EValueSource::PolicyMachine});
    policy.Set(EKeyId::OuterDelayTime, SPolicyValue{true, false, "abc", EValueSource::PolicyUser});
    policy.Set(EKeyId::InnerDomains,
               SPolicyValue{true, true, "example.co.jp", EValueSource::PolicyMachine});
    policy.Set(EKeyId::AllowUserDomains, SPolicyValue{true, true, "1", EValueSource::PolicyFile});
    MergeSettings(user, policy, nullptr, merged);
    const std::vector<std::string> lines = MergeLogLines(user, policy, merged);
    const char* prefixes[][2] = {
        {"設定 CtrlBypass の値", "設定ファイルの値に数字がないとき"},
        {"設定 OutsideKeywords の一覧",
         "一覧がカンマ以外（全角のカンマ、読点、セミコロン、改行）で区切られているとき"},
        {"ポリシーファイルの AllowUserDomains",
         "組織内ドメインを決めたポリシーより弱い設定元が、利用者の追加を許したとき"},
        {"ポリシー OuterDelayTime", "ポリシーの値を使えないとき"},
        {"利用者の設定 ", "ポリシーが利用者の値を使わせないとき"},
        {"設定 Confirm=", "キーごとに 1 行、使われている値と設定元（すべてのキー）"}};
    for (const auto& prefix : prefixes) {
        for (const std::string& line : lines) {
            if (line.compare(0, std::string(prefix[0]).size(), prefix[0]) == 0) {
                Line(6, line, prefix[1]);
                break;
            }
        }
    }
}

} // namespace

int main() {
    SLocalTime due = {2026, 12, 1, 7, 10, 5, 0, 0};
    Line(2, LostMailLogText(2), "開始のとき、前回の終了で送信されなかった保留メールがあれば");
    Line(2, SetupNotSavedLogText(), "Velmora の設定の OK で設定ファイルに書けなかったとき");
    const struct {
        EJournalTrouble trouble;
        unsigned long error;
        const char* when;
    } journal[] = {{EJournalTrouble::NoFolder, 5, "保留記録のフォルダーを作れない"},
                   {EJournalTrouble::NoLockFile, 5, "保留記録のロックファイルを作れない"},
                   {EJournalTrouble::NotWritten, 5, "保留記録を書けない"},
                   {EJournalTrouble::NotRemoved, 5, "保留記録を消せない"},
                   {EJournalTrouble::NoHistory, 5, "保留記録を履歴に移せない"},
                   {EJournalTrouble::ChangedWhileRead, 0, "読んでいる間に保留記録が書き換えられた"},
                   {EJournalTrouble::Damaged, 0, "壊れた保留記録を見つけた"}};
    for (const auto& line : journal)
        Line(2, JournalLogText(line.trouble, line.error, kJournal), line.when);
    const struct {
        EHistoryEvent event;
        const char* when;
    } history[] = {
        {EHistoryEvent::KeptChanging, "読むたびにほかのメールクライアントが書き換えていた"},
        {EHistoryEvent::Unreadable, "読めない"},
        {EHistoryEvent::SetAside, "Velmora が書いたものでない"},
        {EHistoryEvent::NotOurs, "Velmora が書いたものでなく、移せない"},
        {EHistoryEvent::EmptyRemoved, "空だった"},
        {EHistoryEvent::BrokenRemoved, "壊れていた"},
        {EHistoryEvent::NotWritten, "書けない"}};
    for (const auto& line : history)
        Line(2, DomainHistoryLogText(line.event, kHistory), line.when);

    Line(6, StartLogText("2.1.0.0", kSettings), "起動（バージョンと設定ファイルの場所）");
    SettingLines();
    Line(6, ExitLogText(0), "終了（まだ保留中のメールの数）");
    Line(6, SetupSavedLogText("example.co.jp", 0, 5), "Velmora の設定の OK で保存したとき");
    Line(6, ChangeLogLines({"", "0", "5"}, {"", "0", "10"})[0], "Velmora の設定で変えたキーごとに");
    Line(6, HeldLogText(kMailbox, kSubject, 1, 2, 5, due), "保留したとき");
    const struct {
        EHoldRoad road;
        const char* when;
    } roads[] = {
        {EHoldRoad::ReleasedByTimer, "保留時間が過ぎて送信した"},
        {EHoldRoad::SentNow, "送信保留リストの「すぐに送信」"},
        {EHoldRoad::TakenBack,
         "送信保留リストの「送信中止」。Velmora が終わるときに作成ウィンドウに戻したときも"},
        {EHoldRoad::SentAtExit, "終了時の確認で「はい」"},
        {EHoldRoad::Replaced,
         "保留中のメールの作成ウィンドウから、もう一度送信された（保留されなかったときも）"},
        {EHoldRoad::Forgotten, "作成ウィンドウが閉じられた"}};
    for (const auto& road : roads)
        Line(6, LeftHoldLogText(road.road, kMailbox, kSubject), road.when);
    Line(6, ConfirmShownLogText(kSubject, 1, 2, 1), "宛先確認の画面を開いた");
    SConfirmModel model;
    SConfirmRow word;
    word.kind = ERowKind::Keyword;
    word.entry = "社外秘";
    SConfirmRow like;
    like.kind = ERowKind::Lookalike;
    like.domain = "exarnple.co.jp";
    like.resembles = "example.co.jp";
    SConfirmRow mixed = like;
    mixed.domain = "xn--exmple-cua.jp";
    mixed.resembles.clear();
    mixed.kind = ERowKind::MixedScript;
    SConfirmWarning mass;
    mass.addresses = 12;
    SConfirmWarning fresh;
    fresh.kind = EWarningKind::NewDomain;
    fresh.names = {"new.example"};
    SConfirmRow hidden;
    hidden.kind = ERowKind::BccOnlyOutside;
    hidden.domain = "partner.example";
    SConfirmRow moved;
    moved.kind = ERowKind::BccMoved;
    moved.moved = 12;
    model.rows = {moved, word, like, mixed, hidden};
    model.warnings = {mass, fresh};
    for (const std::string& line : WarningLogLines(model))
        Line(6, line, "宛先確認の画面に出た警告ごとに");
    Line(6, ConfirmSentLogText(kSubject, 1, 2, 1), "宛先確認で送信した");
    Line(6, BccMoveLogText(kSubject, 12, false),
         "宛先確認の「社外の宛先を Bcc に移す」で To/Cc の組織外の宛先を Bcc に移した（件数だけ。"
         "アドレスは書かない）");
    Line(6, BccMoveLogText(kSubject, 12, true), "BccConvert=2 で、確認の前に自動で移した");
    const EBccMoveOutcome refusals[] = {
        EBccMoveOutcome::HeaderCut, EBccMoveOutcome::UnreadableRecipient, EBccMoveOutcome::NoRoom,
        EBccMoveOutcome::NoSender, EBccMoveOutcome::HostRefused};
    for (EBccMoveOutcome outcome : refusals)
        Line(6, BccRefusedLogText(kSubject, outcome, false),
             "Bcc に移せなかった（宛先は変えない）。自動のときは 方法=自動");
    const struct {
        EConfirmEnd end;
        const char* when;
    } ends[] = {
        {EConfirmEnd::ByUser, "キャンセルした"},
        {EConfirmEnd::RecipientsChanged, "開いているあいだに宛先か件名が変わった（もう一度開く）"},
        {EConfirmEnd::WindowGone, "作成ウィンドウが閉じられた"},
        {EConfirmEnd::PluginEnded, "Velmora が終わった"},
        {EConfirmEnd::NoDialog, "画面を開けなかった"}};
    for (const auto& end : ends)
        Line(6, ConfirmCancelledLogText(kSubject, end.end), end.when);
    Line(6, DomainHistoryLogText(EHistoryEvent::WrittenAgain, kHistory),
         "送信先ドメインの履歴に、書けなかったあとでまた書けた");

    Line(8, SettingsReadLogText("ex.jp", 0, 5, true, 8), "起動時に読み込んだ設定");
    const struct {
        EDecision decision;
        const char* when;
    } decisions[] = {
        {EDecision::Held, "送信ごとの判定。保留した"},
        {EDecision::CtrlDown, "Ctrl キーを押しながら送信した"},
        {EDecision::IdentHeader, "X-KRV-Ident ヘッダーに、すぐに送る印があった"},
        {EDecision::InsideZeroHold, "宛先がすべて組織内で、組織内の保留時間が 0"},
        {EDecision::ZeroHold, "保留時間が 0"},
        {EDecision::ReleasedBefore, "保留が終わったメールを Velmora が送信した"},
        {EDecision::NotASend, "メールクライアントが送信以外の動作（下書きの保存など）を知らせた"}};
    for (const auto& decision : decisions)
        Line(8, DecisionLogText(kSubject, decision.decision), decision.when);
    return 0;
}
