// Random sequences of holds, sweeps, sends, take-backs, release-alls and forgotten windows
// against the hold book, with a plain model beside it. A message is delivered when it leaves
// by a release; it must be delivered at most once, never before its time, with the code of
// the road it took, and never lost: every hold ends by exactly one road or is still held.
// A release lets the one send it posted through, and no later one; the observer, which keeps
// the journal, is told of each record that enters and leaves, so its view is the book's.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "delay/hold_book.h"
#include "support/string_list.h"
#include "tests/delay/send_capture.h"

namespace {

const int kWindows = 6;
const char* const kMailboxes[] = {"a", "b", "c"};

// Forms of one recipient header (bit 0 an inner entry, bit 1 an outer one), and the entries
// the record keeps of each, joined with commas.
const char* const kRecipientForms[] = {"", "a@inner.example", "x@outer.example",
                                       "\"In, Side\" <b@inner.example>; y@outer.example"};
const char* const kKeptForms[] = {"", "a@inner.example", "x@outer.example",
                                  "\"In, Side\" <b@inner.example>,y@outer.example"};

struct SModelMail {
    std::string mailbox;
    long heldAt; // minutes since the start
    long dueAfter;
    bool held;
    std::string to, cc, bcc; // as the record keeps them, joined with commas
};

// A window the book released, and whether the one send its release posted is still to come.
struct SModelWindow {
    bool released = false;
    bool pass = false;
};

// A record's list as one text; empty for no list.
std::string Joined(const SStringList* list) {
    char* text = list ? list->JoinWithCommas() : nullptr;
    std::string joined = text ? text : "";
    delete[] text;
    return joined;
}

struct SLeft {
    SWindowId window;
    std::string mailbox;
    EHoldRoad road;
};

// What a journal kept in step by the observer holds: each window's mailbox and To.
struct SRecorder : SHoldObserver {
    std::vector<SLeft> left;
    std::map<SWindowId, std::string> journal;
    int strays = 0; // a window held twice, or leaving what it never entered
    std::vector<SWindowId> gone;
    void OnHeld(const std::string& mailbox, const SDelayMail& mail) override {
        strays += journal.count(mail.composeWindow) ? 1 : 0;
        journal[mail.composeWindow] = mailbox + "|" + Joined(mail.to);
    }
    void OnLeft(const std::string& mailbox, const SDelayMail& mail, EHoldRoad road) override {
        left.push_back(SLeft{mail.composeWindow, mailbox, road});
        auto entry = journal.find(mail.composeWindow);
        strays += entry == journal.end() ||
                  entry->second.compare(0, mailbox.size() + 1, mailbox + "|") != 0;
        if (entry != journal.end())
            journal.erase(entry);
    }
    void OnWindowGone(SWindowId window) override { gone.push_back(window); }
};

SLocalTime TimeOf(long minutes) {
    SLocalTime t = {2026, 12, 0, 1, 0, 0, 0, 0};
    return minutes > 0 ? AddMinutes(t, static_cast<int>(minutes)) : t;
}

SWindowId Window(int n) {
    return reinterpret_cast<SWindowId>(static_cast<uintptr_t>(n + 1));
}

void Fail(int line) {
    fprintf(stderr, "hold_book_fuzz: check at line %d failed\n", line);
    abort();
}
#define Check(ok) ((ok) ? (void)0 : Fail(__LINE__))

class SRun {
  public:
    SRun() {
        book.SetObserver(&recorder);
        domains.Append("inner.example");
    }

    // recipients picks To, Cc and Bcc two bits each, and the inner hold time from the top two.
    void Hold(int window, int mailbox, int outerMinutes, int recipients) {
        SCapturedHeaders headers;
        std::string* fields[] = {&headers.to, &headers.cc, &headers.bcc};
        std::string kept[3];
        int inner = 0;
        int outer = 0;
        for (int i = 0; i < 3; ++i) {
            const int form = (recipients >> (2 * i)) & 3;
            *fields[i] = kRecipientForms[form];
            kept[i] = kKeptForms[form];
            inner += form & 1;
            outer += form >> 1;
        }
        const int minutes = outer > 0 ? outerMinutes : (recipients >> 6) - 1;
        SHoldTimes times = {(recipients >> 6) - 1, outerMinutes};
        SDelayMail mail;
        bool held = CaptureSend(&mail, Window(window), &headers, &domains, times, TimeOf(now));
        Check(held == (minutes > 0));
        Check(mail.innerCount == inner && mail.outerCount == outer);
        size_t before = recorder.left.size();
        if (!held) {
            bool wasHeld = model.count(window) && model[window].held;
            Check(book.Replace(Window(window)) == wasHeld);
            if (wasHeld) {
                Expect(window, EHoldRoad::Replaced, before);
                model[window].held = false;
            }
            return;
        }
        book.Hold(kMailboxes[mailbox], std::move(mail));
        windows[window] = SModelWindow();
        Opened(mailbox);
        if (model.count(window) && model[window].held)
            Expect(window, EHoldRoad::Replaced, before);
        model[window] =
            SModelMail{kMailboxes[mailbox], now, now + minutes, true, kept[0], kept[1], kept[2]};
    }

    void Sweep(int mailbox) {
        size_t before = recorder.left.size();
        std::vector<SRelease> out = book.ReleaseDue(kMailboxes[mailbox], TimeOf(now));
        bool paused = pauses[mailbox] > 0;
        int expected = 0;
        for (auto& entry : model) {
            SModelMail& mail = entry.second;
            if (mail.held && mail.mailbox == kMailboxes[mailbox] && !paused && now > mail.dueAfter)
                ++expected;
        }
        Check(static_cast<int>(out.size()) == expected);
        for (const SRelease& release : out)
            Check(release.status == kStatusReleasedByTimer);
        Delivered(before, EHoldRoad::ReleasedByTimer);
    }

    void SendNow(int window) {
        size_t before = recorder.left.size();
        bool wasHeld = model.count(window) && model[window].held;
        Check(book.SendNow(Window(window), kStatusSentNow) == wasHeld);
        Check(recorder.left.size() == before + (wasHeld ? 1 : 0));
        if (wasHeld)
            Check(recorder.left[before].window == Window(window));
        Delivered(before, EHoldRoad::SentNow);
    }

    void ReleaseAll(int mailbox, bool forEdit) {
        size_t before = recorder.left.size();
        int status = forEdit ? kStatusReleasedForEdit : kStatusReleasedAtExit;
        std::vector<SRelease> out = book.ReleaseAll(kMailboxes[mailbox], status);
        int expected = 0;
        for (auto& entry : model)
            expected += entry.second.held && entry.second.mailbox == kMailboxes[mailbox];
        Check(static_cast<int>(out.size()) == expected);
        Delivered(before, static_cast<EHoldRoad>(status));
    }

    void TakeBack(int window, bool gone) {
        size_t before = recorder.left.size();
        bool wasHeld = model.count(window) && model[window].held;
        if (gone) {
            book.WindowGone(Window(window));
            Check(!book.IsReleased(Window(window)));
            Check(recorder.gone.size() == 1 && recorder.gone[0] == Window(window));
            recorder.gone.clear();
            windows[window] = SModelWindow();
        } else {
            Check(book.TakeBack(Window(window)) == wasHeld);
        }
        Check(recorder.left.size() == before + (wasHeld ? 1 : 0));
        if (wasHeld) {
            Expect(window, gone ? EHoldRoad::Forgotten : EHoldRoad::TakenBack, before);
            model[window].held = false;
        }
    }

    void Pause(int mailbox, bool on) {
        if (on) {
            book.Pause(kMailboxes[mailbox]);
            Opened(mailbox);
            ++pauses[mailbox];
        } else {
            book.Resume(kMailboxes[mailbox]);
            if (pauses[mailbox] > 0)
                --pauses[mailbox];
        }
    }

    // The send a release posted comes, or any later send: only the first one passes.
    void Send(int window) {
        Check(book.UsePass(Window(window)) == windows[window].pass);
        windows[window].pass = false;
    }

    // A send from a released window that did not pass: a new message, no longer released.
    void SendAgain(int window) {
        Check(book.ReturnToUser(Window(window)) == windows[window].released);
        windows[window] = SModelWindow();
    }

    void Advance(int minutes) { now += minutes; }

    // Nothing lost: what the model holds, the book holds, recipients and all, and nothing else.
    void CheckHeld() {
        int count = 0;
        for (auto& entry : model) {
            Check(book.IsHeld(Window(entry.first)) == entry.second.held);
            count += entry.second.held;
            if (entry.second.held)
                CheckRecord(entry.first, entry.second);
        }
        int inBook = 0;
        for (const char* mailbox : kMailboxes)
            inBook += book.Count(mailbox);
        Check(count == inBook);
        Check(book.AnyHeld() == (count > 0));
        Check(book.Mailboxes() == opened);
        Check(recorder.strays == 0 && static_cast<int>(recorder.journal.size()) == count);
        size_t released = 0;
        for (int window = 0; window < kWindows; ++window) {
            Check(book.IsReleased(Window(window)) == windows[window].released);
            released += windows[window].released ? 1 : 0;
        }
        Check(book.ReleasedWindows().size() == released);
    }

  private:
    void Opened(int mailbox) {
        for (const std::string& key : opened) {
            if (key == kMailboxes[mailbox])
                return;
        }
        opened.push_back(kMailboxes[mailbox]);
    }

    // The record has lived through the book's copies and moves whole.
    void CheckRecord(int window, const SModelMail& expected) {
        const SDelayMail* found = nullptr;
        for (const SDelayMail& mail : book.Mails(expected.mailbox)) {
            if (mail.composeWindow == Window(window))
                found = &mail;
        }
        Check(found != nullptr);
        Check(recorder.journal[Window(window)] == expected.mailbox + "|" + expected.to);
        Check(Joined(found->to) == expected.to && Joined(found->cc) == expected.cc &&
              Joined(found->bcc) == expected.bcc);
        Check(CompareLocalTime(found->heldAt, TimeOf(expected.heldAt)) == 0);
        Check(CompareLocalTime(found->releaseAt, TimeOf(expected.dueAfter)) == 0);
    }

    // The one record that left since before was this window's, by this road.
    void Expect(int window, EHoldRoad road, size_t before) {
        Check(recorder.left.size() == before + 1);
        Check(recorder.left[before].window == Window(window));
        Check(recorder.left[before].road == road);
        recorder.left.pop_back();
    }

    // Each record that left since before was held, is delivered now for the first time, by
    // this road, and not before its time.
    void Delivered(size_t before, EHoldRoad road) {
        for (size_t i = before; i < recorder.left.size(); ++i) {
            int window = static_cast<int>(reinterpret_cast<uintptr_t>(recorder.left[i].window)) - 1;
            Check(model.count(window) && model[window].held);
            Check(recorder.left[i].road == road);
            Check(recorder.left[i].mailbox == model[window].mailbox);
            if (road == EHoldRoad::ReleasedByTimer)
                Check(now > model[window].dueAfter);
            Check(book.IsReleased(Window(window)));
            Check(!book.IsHeld(Window(window)));
            model[window].held = false;
            windows[window].released = windows[window].pass = true;
        }
        recorder.left.resize(before);
    }

    SHoldBook book;
    SRecorder recorder;
    SStringList domains;
    std::vector<std::string> opened;
    std::map<int, SModelMail> model;
    SModelWindow windows[kWindows];
    int pauses[3] = {0, 0, 0};
    long now = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SRun run;
    for (size_t i = 0; i + 1 < size; i += 2) {
        int op = data[i] % 11;
        int arg = data[i + 1];
        int window = arg % kWindows;
        int mailbox = (arg / kWindows) % 3;
        switch (op) {
        case 0:
            // One more byte for the recipients.
            run.Hold(window, mailbox, (arg >> 4) % 12 - 1, i + 2 < size ? data[i + 2] : 0);
            ++i;
            break;
        case 1:
            run.Sweep(mailbox);
            break;
        case 2:
            run.SendNow(window);
            break;
        case 3:
            run.ReleaseAll(mailbox, arg & 0x80);
            break;
        case 4:
            run.TakeBack(window, false);
            break;
        case 5:
            run.TakeBack(window, true);
            break;
        case 6:
            run.Pause(mailbox, arg & 0x80);
            break;
        case 7:
            run.Send(window);
            break;
        case 8:
            run.SendAgain(window);
            break;
        default:
            run.Advance(arg % 7);
            break;
        }
        run.CheckHeld();
    }
    return 0;
}
