// Wall-clock cost of the held-mail journal's calls under Wine: a maximal record (every header
// 64 KB) added under a new id, as on the send path, added again under the same id, removed.
// Usage: journal_bench [rounds]; prints the 25th, 50th and 90th percentiles in microseconds.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "journal/held_journal.h"

namespace {

void Report(const char* what, std::vector<double> micros) {
    std::sort(micros.begin(), micros.end());
    const size_t n = micros.size();
    std::printf("%-28s 25%% %6.0f us  median %6.0f us  90%% %6.0f us  (%u rounds)\n", what,
                micros[n / 4], micros[n / 2], micros[n * 9 / 10], static_cast<unsigned>(n));
}

double Time(const std::function<void()>& call) {
    const auto start = std::chrono::steady_clock::now();
    call();
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
        .count();
}

int Measure(const std::string& settings, int rounds) {
    SHeldJournal journal(settings.c_str());
    if (!journal.Open()) {
        std::printf("cannot open the journal in %s\n", settings.c_str());
        return 1;
    }
    const std::string header(65536, 'h');
    const char* h = header.c_str();
    SLocalTime now;
    GetLocalTime(reinterpret_cast<SYSTEMTIME*>(&now));
    std::vector<double> added, replaced, removed;
    for (int id = 0; id < rounds; ++id) {
        added.push_back(Time([&] { journal.Add(id, now, now, h, h, h, h, h, h); }));
        replaced.push_back(Time([&] { journal.Add(id, now, now, h, h, h, h, h, h); }));
        removed.push_back(Time([&] { journal.Remove(id); }));
    }
    Report("Add (new id, send path)", added);
    Report("Add (same id again)", replaced);
    Report("Remove", removed);
    journal.RemoveAll();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(4, std::atoi(argv[1])) : 201;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string settings =
        std::string(temp) + "zv-journal-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(settings.c_str(), nullptr);

    const int result = Measure(settings, rounds);
    RemoveDirectoryA((settings + "\\" + kJournalFolderName).c_str());
    RemoveDirectoryA(settings.c_str());
    return result;
}
