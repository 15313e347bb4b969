// Recipient walk and split of a 64 KB To value, against a one-pass scan that
// only tracks quotes and comments (the floor of any tokenizer) and against
// GMime's address-list parser.
#include <benchmark/benchmark.h>
#include <gmime/gmime.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "support/address_list.h"

namespace {

// About 2,000 entries of mixed forms, Shift-JIS names among them.
std::string MakeToValue() {
    static const char* const kForms[] = {
        "\"Sato, Ken %d\" <ken%d@ex.co.jp>",
        "u%d@ex.com (Desk, %d)",
        "<bare%d@ex.org>",
        "\x8D\xB2\x93\xA1 \x8C\x92%d <sato%d@ex.jp>",
        "\x95\x5C\x8E\xA6%d <hyo%d@ex.jp>",
        "Plain %d <p%d@ex.net>",
        "b%d@ex.net",
    };
    // Commas only: GMime reads a semicolon as the end of a group.
    static const char* const kSeparators[] = {", ", ",\r\n\t", ", ", ","};
    std::string value;
    for (int i = 0;; ++i) {
        char entry[128];
        std::snprintf(entry, sizeof entry, kForms[i % 7], i, i);
        const char* separator = kSeparators[i % 4];
        if (value.size() + std::strlen(entry) + std::strlen(separator) > 65535)
            break;
        if (i > 0)
            value += separator;
        value += entry;
    }
    return value;
}

const std::string& ToValue() {
    static const std::string value = MakeToValue();
    return value;
}

void Report(benchmark::State& state, size_t entries) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * ToValue().size()));
    state.counters["entries"] = static_cast<double>(entries);
    state.counters["entries/s"] = benchmark::Counter(static_cast<double>(entries),
                                                     benchmark::Counter::kIsIterationInvariantRate);
}

void BM_WalkAndSplit(benchmark::State& state) {
    const std::string& value = ToValue();
    std::vector<char> text(value.size() + 1);
    std::vector<char> name(kAddressPartSize), address(kAddressPartSize);
    size_t entries = 0;
    for (auto _ : state) {
        std::memcpy(text.data(), value.c_str(), value.size() + 1);
        entries = 0;
        for (char* e = NextAddress(text.data()); e != nullptr; e = NextAddress(nullptr)) {
            SplitAddress(name.data(), address.data(), e);
            benchmark::DoNotOptimize(address[0]);
            ++entries;
        }
    }
    Report(state, entries);
}
BENCHMARK(BM_WalkAndSplit);

// What the recipient counting does per entry: the walk and the strict address read.
void BM_WalkAndReadPlain(benchmark::State& state) {
    const std::string& value = ToValue();
    std::vector<char> text(value.size() + 1);
    std::vector<char> address(kAddressPartSize);
    size_t entries = 0;
    for (auto _ : state) {
        std::memcpy(text.data(), value.c_str(), value.size() + 1);
        entries = 0;
        for (char* e = NextAddress(text.data()); e != nullptr; e = NextAddress(nullptr)) {
            benchmark::DoNotOptimize(PlainAddressDomain(e, address.data()));
            ++entries;
        }
    }
    Report(state, entries);
}
BENCHMARK(BM_WalkAndReadPlain);

void BM_FloorScan(benchmark::State& state) {
    const std::string& value = ToValue();
    size_t entries = 0;
    for (auto _ : state) {
        const char* p = value.c_str();
        bool quoted = false;
        bool comment = false;
        size_t separators = 0;
        for (; *p != '\0'; ++p) {
            const char c = *p;
            if (comment) {
                comment = c != ')';
            } else if (c == '"') {
                quoted = !quoted;
            } else if (!quoted && c == '(') {
                comment = true;
            } else if (!quoted && (c == ',' || c == ';')) {
                ++separators;
            }
        }
        entries = separators + 1;
        benchmark::DoNotOptimize(entries);
    }
    Report(state, entries);
}
BENCHMARK(BM_FloorScan);

void BM_GMimeParse(benchmark::State& state) {
    const std::string& value = ToValue();
    size_t entries = 0;
    for (auto _ : state) {
        InternetAddressList* list = internet_address_list_parse(nullptr, value.c_str());
        entries = list != nullptr ? internet_address_list_length(list) : 0;
        if (list != nullptr)
            g_object_unref(list);
    }
    Report(state, entries);
}
BENCHMARK(BM_GMimeParse);

} // namespace

int main(int argc, char** argv) {
    g_mime_init();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_mime_shutdown();
    return 0;
}
