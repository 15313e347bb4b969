#include "tools/standin/random_campaign.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "tests/e2e/process_runner.h"
#include "tools/standin/console.h"

namespace {

// A run does about a hundred operations a second; ten times that time is a hang.
unsigned long ChildTimeoutMs(size_t operations) {
    return 60000 + static_cast<unsigned long>(operations) * 100;
}

struct Outcome {
    bool failed = false;
    std::string key; // what broke: the invariant's name, "crash" or "timeout"
    std::string text;
    int failedAt = -1;
    std::vector<std::string> ops; // as run, up to the failing one
    std::string summary;
};

std::string Quote(const std::string& text) {
    return "\"" + text + "\"";
}

std::string Self() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof(path));
    return path;
}

Outcome Read(const ProcessResult& process) {
    Outcome outcome;
    std::istringstream lines(process.output);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        int index = 0, used = 0;
        if (sscanf(line.c_str(), "OP %d %n", &index, &used) == 1 && used > 0) {
            outcome.ops.resize(index + 1);
            outcome.ops[index] = line.substr(used);
        } else if (sscanf(line.c_str(), "RANDOM-FAIL %d %n", &index, &used) == 1 && used > 0) {
            outcome.failed = true;
            outcome.failedAt = index;
            outcome.text = line.substr(used);
            outcome.key = outcome.text.substr(0, outcome.text.find(':'));
        } else if (line.compare(0, 12, "RANDOM-PASS ") == 0) {
            outcome.summary = line.substr(12);
        }
    }
    if (!outcome.failed && (process.timedOut || process.exitCode != 0 || outcome.summary.empty())) {
        char text[96];
        snprintf(text, sizeof(text), "%s (exit code 0x%lx) during the last operation",
                 process.timedOut ? "timeout" : "crash", process.exitCode);
        outcome.failed = true;
        outcome.key = process.timedOut ? "timeout" : "crash";
        outcome.text = text;
        outcome.failedAt = static_cast<int>(outcome.ops.size()) - 1;
    }
    if (outcome.failed && outcome.failedAt >= 0 &&
        outcome.failedAt + 1 < static_cast<int>(outcome.ops.size()))
        outcome.ops.resize(outcome.failedAt + 1);
    return outcome;
}

std::string Joined(const std::vector<std::string>& ops) {
    std::string text;
    for (const std::string& op : ops)
        text += (text.empty() ? "" : " ") + op;
    return text;
}

std::string Common(const CampaignOptions& options) {
    return options.pluginPath.empty() ? std::string() : " --plugin " + Quote(options.pluginPath);
}

Outcome Replay(const CampaignOptions& options, const std::vector<std::string>& ops) {
    char file[MAX_PATH + 32] = "";
    GetTempPathA(MAX_PATH, file);
    snprintf(file + strlen(file), 32, "zv-replay-%lu.txt", GetCurrentProcessId());
    {
        std::ofstream out(file);
        for (const std::string& op : ops)
            out << op << "\n";
    }
    return Read(RunProcess(Quote(Self()) + " --replay-file " + Quote(file) + Common(options),
                           ChildTimeoutMs(ops.size())));
}

// Drops halves, quarters, ... down to single operations while the same failure remains.
std::vector<std::string> Shrink(const CampaignOptions& options, std::vector<std::string> ops,
                                const std::string& key, int* replays) {
    DWORD deadline = GetTickCount() + options.shrinkSeconds * 1000u;
    for (size_t chunk = ops.size() / 2; chunk >= 1; chunk /= 2) {
        for (size_t at = 0; at < ops.size() && GetTickCount() < deadline;) {
            std::vector<std::string> candidate(ops.begin(), ops.begin() + at);
            if (at + chunk < ops.size())
                candidate.insert(candidate.end(), ops.begin() + at + chunk, ops.end());
            Outcome outcome = Replay(options, candidate);
            ++*replays;
            if (outcome.failed && outcome.key == key)
                ops = outcome.ops;
            else
                at += chunk;
        }
        if (chunk == 1 || GetTickCount() >= deadline)
            break;
    }
    return ops;
}

} // namespace

int RunRandomCampaign(const CampaignOptions& options) {
    int failures = 0;
    std::stringstream seeds(options.seeds);
    std::string seed;
    while (std::getline(seeds, seed, ',')) {
        std::string command = Quote(Self()) + " --run-random " + seed + " " +
                              std::to_string(options.count) + Common(options);
        if (!options.kinds.empty())
            command += " --ops " + options.kinds;
        DWORD started = GetTickCount();
        Outcome outcome = Read(RunProcess(command, ChildTimeoutMs(options.count)));
        if (!outcome.failed) {
            PrintLine("seed %s: PASS, %s (run %lu ms)", seed.c_str(), outcome.summary.c_str(),
                      GetTickCount() - started);
            continue;
        }
        ++failures;
        // The children's lines are UTF-8 already: printed as they are.
        printf("seed %s: FAIL at operation %d of %d: %s\n", seed.c_str(), outcome.failedAt,
               options.count, outcome.text.c_str());
        int replays = 0;
        std::vector<std::string> shrunk = Shrink(options, outcome.ops, outcome.key, &replays);
        Outcome last = Replay(options, shrunk);
        printf("seed %s: shrunk to %u operations in %d replays; it fails with: %s\n", seed.c_str(),
               static_cast<unsigned>(shrunk.size()), replays, last.text.c_str());
        printf("  zvhost --replay \"%s\"\n", Joined(shrunk).c_str());
        fflush(stdout);
    }
    PrintLine("random use: %d seed(s) failed", failures);
    return failures ? 1 : 0;
}
