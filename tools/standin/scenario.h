// Scripted mode: a line-based scenario run step by step from a thread timer, so that it keeps
// going inside the plug-in's modal dialogs and message boxes.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class MailClient;
struct ClientOptions;

struct ScenarioLine {
    int number;
    std::vector<std::string> words; // system code page, quotes removed
};

enum StepResult { kStepDone, kStepPending, kStepFailed };

// What a step sees: the client, its own line, how long it has been running, and the
// dialog and message box that earlier steps found.
class ScenarioContext {
  public:
    explicit ScenarioContext(MailClient* client);

    MailClient* client;
    const ScenarioLine* line;
    DWORD stepStarted;
    bool firstCall; // the step runs for the first time (pending steps run again)
    HWND dialog;
    HWND messageBox;
    std::string shotsFolder;
    int passed;
    int failed;

    const std::string& Word(size_t index) const;
    size_t WordCount() const { return line->words.size(); }
    DWORD Elapsed() const { return GetTickCount() - stepStarted; }
    StepResult Pass(const char* format, ...);
    StepResult Fail(const char* format, ...);
    StepResult Check(bool ok, const char* format, ...);
};

typedef StepResult (*StepHandler)(ScenarioContext& context);

struct StepCommand {
    const char* name;
    StepHandler handler;
};

// Each group of steps lives in its own file and hands out its table.
const StepCommand* ClientSteps(int* count);
const StepCommand* ExpectSteps(int* count);
const StepCommand* DialogSteps(int* count);
const StepCommand* BenchSteps(int* count);
const StepCommand* WindowsSteps(int* count);

// The expectations of what the plug-in tells Windows (scenario_windows_steps.cpp).
StepResult ExpectEvent(ScenarioContext& context);
StepResult ExpectEventCount(ScenarioContext& context);
StepResult ExpectBlockReason(ScenarioContext& context);

// "500ms", "5s", "2m"; a bare number is seconds. False for anything else.
bool ParseDuration(const std::string& text, DWORD* milliseconds);
bool ParseInt(const std::string& text, int* value);
// The plug-in's settings file under the application-data folder (folders created).
std::string SettingsFilePath();
// A file beside it.
std::string SettingsFolderFile(const std::string& name);

class ScenarioRunner {
  public:
    ScenarioRunner();

    // Reads the file (UTF-8) into lines of words; false when it cannot be read.
    bool Load(const char* path);
    void LoadText(const std::string& utf8);
    // Options that must be known before the client opens: option tick-ms, option plugin.
    void ApplyOptions(ClientOptions* options) const;
    // Settings written before the plug-in starts; true unless the plug-in is to start later.
    bool PrepareStart();
    void Start(MailClient* client, const std::string& shotsFolder, DWORD timeoutMs);
    // Prints the outbox and the tally; the process's exit code.
    int Finish();

  private:
    static void CALLBACK OnTimer(HWND window, UINT message, UINT_PTR id, DWORD time);
    void Step();
    StepResult Execute(const ScenarioLine& line);
    void End();
    std::string PolicyFilePath() const;
    void PreparePolicy();
    void RemovePolicy();

    std::vector<ScenarioLine> lines;
    size_t next;
    ScenarioContext* context;
    UINT_PTR timer;
    bool busy;
    bool ended;
    DWORD started;
    DWORD timeoutMs;
    HANDLE holder; // the process that holds the policy file open, or null
};
