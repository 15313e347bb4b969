// The stand-in mail client: loads the plug-in and drives it as the real client would.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/standin/console.h"
#include "tools/standin/mail_client.h"
#include "tools/standin/probe.h"
#include "tools/standin/random_campaign.h"
#include "tools/standin/random_run.h"
#include "tools/standin/scenario.h"
#include "tools/standin/timeline.h"
#include "tools/standin/wine_trace.h"

namespace {

void Usage() {
    PrintLine("usage: zvhost --probe <plugin.dll>");
    PrintLine("       zvhost [--scenario <file> | --perf] [--plugin <dll>] [--data <dir>]");
    PrintLine("              [--outbox <dir>] [--tick-ms <n>] [--shots <dir>] [--timeout <s>]");
    PrintLine("              [--trace <file of this run's WINEDEBUG output>]");
    PrintLine("       zvhost --random <seed,...> <count> [--ops <kinds>] [--shrink-seconds <n>]");
    PrintLine("       zvhost --replay \"<op> <op> ...\" | --replay-file <file>");
    PrintLine("       kinds: %s", RandomKindNames().c_str());
}

struct CommandLine {
    ClientOptions client;
    std::string scenario;
    std::string shots;
    bool perf = false;
    DWORD timeoutMs = 240000;
    CampaignOptions campaign;
    bool campaignMode = false;
    bool randomChild = false;
    RandomPlan plan;
};

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (char c : text + " ") {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    return words;
}

bool ReadReplayFile(const std::string& path, RandomPlan* plan) {
    std::ifstream file(path.c_str(), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    plan->replay = Words(text);
    return file.good() || file.eof();
}

// --random and --run-random take two values: seeds (a seed) and the operation count.
bool ParseRandom(const std::string& option, const std::string& seeds, const std::string& count,
                 CommandLine* line) {
    int operations = atoi(count.c_str());
    if (operations <= 0)
        return false;
    if (option == "--random") {
        line->campaignMode = true;
        line->campaign.seeds = seeds;
        line->campaign.count = operations;
    } else {
        line->randomChild = true;
        line->plan.seed = static_cast<unsigned>(strtoul(seeds.c_str(), nullptr, 10));
        line->plan.count = operations;
    }
    return true;
}

bool Parse(int argc, char** argv, CommandLine* line) {
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--perf") {
            line->perf = true;
            continue;
        }
        if (i + 1 >= argc)
            return false;
        if (option == "--random" || option == "--run-random") {
            if (i + 2 >= argc || !ParseRandom(option, argv[i + 1], argv[i + 2], line))
                return false;
            i += 2;
            continue;
        }
        std::string value = argv[++i];
        if (option == "--ops")
            line->campaign.kinds = line->plan.kinds = value;
        else if (option == "--shrink-seconds")
            line->campaign.shrinkSeconds = atoi(value.c_str());
        else if (option == "--replay")
            line->randomChild = true, line->plan.replay = Words(value);
        else if (option == "--replay-file") {
            line->randomChild = true;
            if (!ReadReplayFile(value, &line->plan))
                return false;
        } else if (option == "--scenario")
            line->scenario = value;
        else if (option == "--plugin")
            line->client.pluginPath = line->campaign.pluginPath = value;
        else if (option == "--data")
            line->client.dataFolder = value;
        else if (option == "--outbox")
            line->client.outboxFolder = value;
        else if (option == "--tick-ms")
            line->client.tickMs = static_cast<UINT>(atoi(value.c_str()));
        else if (option == "--trace")
            SetTraceFile(value);
        else if (option == "--shots")
            line->shots = value;
        else if (option == "--timeout")
            line->timeoutMs = static_cast<DWORD>(atoi(value.c_str())) * 1000;
        else
            return false;
    }
    return true;
}

// The benchmark as a scenario: 100 inner domains, outer mail held for 5 minutes.
std::string PerfScenario() {
    std::string domains;
    for (int i = 1; i <= 100; ++i)
        domains += (i > 1 ? "," : "") + std::string("inner") +
                   (i < 10    ? "00"
                    : i < 100 ? "0"
                              : "") +
                   std::to_string(i) + ".example";
    return "setting WhiteList InnerDomains " + domains +
           "\nsetting Delay InnerDelayTime 0\nsetting Delay OuterDelayTime 5\noption tick-ms 0\n"
           "clock virtual 2026-12-07 10:00:00\n"
           "bench start 20\nbench outgoing 30 inner\nbench outgoing 100\nclock advance "
           "10m\ntick\nexpect "
           "outbox-count 100\n"
           "bench sweep 1000 3\nbench confirm 20\nbench tick-all 13000\n";
}

// One random-use run in this process: the client, the plug-in and the model side by side.
int RunRandomUse(CommandLine& line) {
    line.client.tickMs = 0;
    MailClient client(line.client);
    if (!client.Open())
        return 2;
    WriteRandomStartSettings();
    SetLogQuiet(true);
    client.StartPlugin();
    RandomUse use(&client, line.plan);
    if (!use.Start()) {
        PrintLine("RANDOM-FAIL 0 harness: cannot patch the clock or start the driver");
        return 2;
    }
    client.RunLoop();
    client.Shutdown();
    return use.ExitCode();
}

int RunClient(CommandLine& line) {
    ScenarioRunner runner;
    bool scripted = line.perf || !line.scenario.empty();
    if (line.perf)
        runner.LoadText(PerfScenario());
    else if (scripted && !runner.Load(line.scenario.c_str())) {
        PrintLine("cannot read scenario %s", line.scenario.c_str());
        return 2;
    }
    runner.ApplyOptions(&line.client);
    MailClient client(line.client);
    if (!client.Open())
        return 2;
    const bool startNow = runner.PrepareStart();
    // The steps run first, so that they can answer a message box the plug-in shows at start.
    if (scripted)
        runner.Start(&client, line.shots, line.perf ? 900000 : line.timeoutMs);
    if (startNow)
        client.StartPlugin();
    // The benchmark's thousands of windows would drown its results.
    SetLogQuiet(line.perf);
    client.RunLoop();
    int exitCode = scripted ? runner.Finish() : 0;
    client.Shutdown();
    return exitCode;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && strcmp(argv[1], "--probe") == 0)
        return RunProbe(argv[2]);
    CommandLine line;
    if (!Parse(argc, argv, &line)) {
        Usage();
        return 1;
    }
    if (line.campaignMode)
        return RunRandomCampaign(line.campaign);
    if (line.randomChild)
        return RunRandomUse(line);
    return RunClient(line);
}
