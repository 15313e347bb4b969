// Random use of the client: seeded operations of a user (and of the client itself) run against
// the real plug-in, each followed by the model's invariants. The driver runs on a fiber of its
// own, so that it goes on inside the plug-in's modal loops: it posts what the user does and
// hands the thread back to whatever message loop is running until the queue is empty.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "tools/standin/random_model.h"

class MailClient;

struct RandomPlan {
    unsigned seed = 1;
    int count = 0;                   // operations to generate (seeded mode)
    std::string kinds;               // enabled operation kinds, comma separated; "" all
    std::vector<std::string> replay; // explicit operations (replay mode)
};

// Every operation kind with its name for --ops.
std::string RandomKindNames();
// Settings the run starts from, written before the plug-in starts.
void WriteRandomStartSettings();

class RandomUse {
  public:
    RandomUse(MailClient* client, const RandomPlan& plan);
    // Sets up the fibers and posts the first resume; the caller then runs the client's loop.
    bool Start();
    int ExitCode() const { return exitCode; }

  private:
    static void CALLBACK FiberMain(void* self);
    static LRESULT CALLBACK ResumeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Drive();
    void Finish();
    void HandBack();
    void Settle();
    void Fail(const std::string& text);
    void Check();
    void CheckNoDialog();
    std::string Generate();
    bool Execute(const std::string& op);

    bool OpOpen(const std::vector<std::string>& f);
    bool OpSend(const std::vector<std::string>& f);
    bool OpWindow(char kind, const std::vector<std::string>& f);
    bool OpClock(const std::vector<std::string>& f);
    bool OpList(const std::vector<std::string>& f);
    bool OpSetup(const std::vector<std::string>& f);
    bool OpExit(const std::vector<std::string>& f);
    bool OpEnd(const std::vector<std::string>& f);

    void Advance(int seconds);
    void Tick(const std::set<int>& paused);
    void UseBox(int box);
    HWND OpenHoldList(int box);
    std::vector<int> ListedIds(HWND list);
    bool CheckListed(HWND list, int box);
    void Click(HWND dialog, int id);
    bool Answer(const char* text, int button);
    // Ticks every row and warning and sends, or cancels; true when it sent.
    bool AnswerConfirm(HWND dialog, bool send);
    void SetConfirmMode(HWND setup, int mode);
    void ActOnList(HWND list, char act, const std::vector<int>& rows, const std::vector<int>& ids);
    bool QueryEnd(char answer);

    MailClient* client;
    RandomPlan plan;
    UseModel model;
    unsigned rng;
    int nextId;
    int opIndex;
    size_t seenFiles;
    bool pluginRunning;
    bool endRun;
    int exitCode;
    void* mainFiber;
    void* driverFiber;
    HWND resumeWindow;
};
