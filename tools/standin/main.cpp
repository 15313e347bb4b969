// The stand-in mail client: loads the plug-in and drives it as the real client would.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/standin/console.h"
#include "tools/standin/mail_client.h"
#include "tools/standin/probe.h"
#include "tools/standin/scenario.h"
#include "tools/standin/timeline.h"

namespace {

void Usage() {
    PrintLine("usage: zvhost --probe <plugin.dll>");
    PrintLine("       zvhost [--scenario <file> | --perf] [--plugin <dll>] [--data <dir>]");
    PrintLine("              [--outbox <dir>] [--tick-ms <n>] [--shots <dir>] [--timeout <s>]");
}

struct CommandLine {
    ClientOptions client;
    std::string scenario;
    std::string shots;
    bool perf = false;
    DWORD timeoutMs = 240000;
};

bool Parse(int argc, char** argv, CommandLine* line) {
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--perf") {
            line->perf = true;
            continue;
        }
        if (i + 1 >= argc)
            return false;
        std::string value = argv[++i];
        if (option == "--scenario")
            line->scenario = value;
        else if (option == "--plugin")
            line->client.pluginPath = value;
        else if (option == "--data")
            line->client.dataFolder = value;
        else if (option == "--outbox")
            line->client.outboxFolder = value;
        else if (option == "--tick-ms")
            line->client.tickMs = static_cast<UINT>(atoi(value.c_str()));
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
           "bench outgoing 30 inner\nbench outgoing 100\nclock advance 10m\ntick\nexpect "
           "outbox-count 100\n"
           "bench sweep 1000 3\n";
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
    return RunClient(line);
}
