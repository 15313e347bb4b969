#include "journal/lost_mail_notice.h"

#include <cstdio>

#include "support/line_text.h"

const char kLostMailCaption[] = "送信されなかった保留メール";

namespace {

const size_t kSubjectBytes = 80;
const size_t kRecipientBytes = 100;
const char kCutMark[] = "…";

std::string Recipients(const SLostMail& mail) {
    std::string all;
    for (const std::string* part : {&mail.to, &mail.cc, &mail.bcc}) {
        if (part->empty())
            continue;
        if (!all.empty())
            all += ", ";
        all += *part;
    }
    return all;
}

std::string Bounded(const std::string& text, size_t maxBytes) {
    return CutText(FlattenControls(text), maxBytes, kCutMark);
}

std::string MailLine(const SLostMail& mail) {
    char held[32];
    std::snprintf(held, sizeof held, "%u/%02u/%02u %02u:%02u", mail.heldAt.wYear % 10000u,
                  mail.heldAt.wMonth % 100u, mail.heldAt.wDay % 100u, mail.heldAt.wHour % 100u,
                  mail.heldAt.wMinute % 100u);
    const std::string subject = mail.subject.empty() ? "(件名なし)" : mail.subject;
    return std::string("・") + held + " 保留  件名: " + Bounded(subject, kSubjectBytes) +
           "\r\n　　宛先: " + Bounded(Recipients(mail), kRecipientBytes) + "\r\n";
}

} // namespace

std::string LostMailNoticeText(const std::vector<SLostMail>& lost) {
    // The client died, or the plug-in ended with mail held and gave it back unsent. The body was
    // never kept: all the user can do is check the sent mail and write the message again.
    std::string text =
        "前回、メールクライアントが正常に終了しなかったか、保留中のメールを残したまま"
        "Velmora が終了したため、次の " +
        std::to_string(lost.size()) +
        " 通のメールは Velmora からは送信されていません。\r\n"
        "本文は保存されていないため、元に戻すことはできません。"
        "送信済みフォルダーで確かめて、送られていなければもう一度作成して送信してください。"
        "\r\n\r\n";
    for (size_t i = 0; i < lost.size() && i < kLostMailListed; ++i)
        text += MailLine(lost[i]);
    if (lost.size() > kLostMailListed)
        text += "他 " + std::to_string(lost.size() - kLostMailListed) + " 通\r\n";
    return text;
}

#ifdef _WIN32
void ShowLostMailNotice(HWND owner, const std::vector<SLostMail>& lost) {
    if (lost.empty())
        return;
    const std::string text = LostMailNoticeText(lost);
    MessageBoxA(owner, text.c_str(), kLostMailCaption, MB_OK | MB_ICONWARNING);
}
#endif
