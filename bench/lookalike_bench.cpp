// Look-alike detection timed (processor time): the index of 10,000 history and 100 inner domains,
// and the check of the maximal message's 2,000 recipient domains, all distinct and unknown (every
// tenth a slip of a known one). Also a history of 10,000 near-identical long names. Run by
// hand, natively (native/).
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "lookalike/lookalike_index.h"

namespace {

// Processor time of this thread: the machine that runs this also builds, and wall time
// would measure the neighbours.
double ThreadMilliseconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Names of 4 to 19 letters, reproducible.
std::string Name(unsigned seed) {
    std::string name;
    unsigned x = seed * 2654435761u + 12345u;
    const size_t length = 4 + x % 16;
    for (size_t i = 0; i < length; ++i) {
        x = x * 1103515245u + 12345u;
        name += static_cast<char>('a' + (x >> 16) % 26);
    }
    return name;
}

const char* const kSuffixes[] = {"co.jp", "com", "ne.jp", "jp", "net", "or.jp", "org", "co.uk"};

struct SResult {
    double median;
    double worst;
    int marked;
};

SResult Time(int runs, const std::function<int()>& work) {
    std::vector<double> samples;
    int marked = 0;
    for (int i = 0; i < runs; ++i) {
        const double start = ThreadMilliseconds();
        marked = work();
        samples.push_back(ThreadMilliseconds() - start);
    }
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples.back(), marked};
}

void Run(const char* title, const std::vector<std::string>& history,
         const std::vector<std::string>& recipients) {
    SLookalikeIndex index;
    const SResult build = Time(21, [&]() {
        index = SLookalikeIndex();
        for (int i = 1; i <= 100; ++i)
            index.Add("inner" + std::to_string(i) + ".example.co.jp", kKnownInner);
        for (const std::string& domain : history)
            index.Add(domain, kKnownHistory);
        index.Seal();
        return 0;
    });
    const SResult check = Time(21, [&]() {
        int marked = 0;
        for (const std::string& domain : recipients)
            marked += index.Check(domain).kind != kLookNone;
        return marked;
    });
    printf("%s: index of %zu domains: median %.2f ms, worst %.2f ms; %zu recipient domains: "
           "median %.2f ms, worst %.2f ms, %d marked\n",
           title, index.Size(), build.median, build.worst, recipients.size(), check.median,
           check.worst, check.marked);
}

} // namespace

int main() {
    std::vector<std::string> history, recipients;
    for (unsigned i = 0; i < 10000; ++i)
        history.push_back(Name(i) + "." + kSuffixes[i % 8]);
    for (unsigned i = 0; i < 2000; ++i) {
        if (i % 10 == 0) {
            std::string slip = history[i * 5];
            slip[1] = slip[1] == 'q' ? 'r' : 'q';
            recipients.push_back(slip);
        } else {
            recipients.push_back(Name(100000 + i) + "." + kSuffixes[i % 8]);
        }
    }
    Run("ordinary history", history, recipients);

    std::vector<std::string> near;
    for (unsigned i = 0; i < 10000; ++i)
        near.push_back("aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa" +
                       std::to_string(i) + ".com");
    std::vector<std::string> nearRecipients;
    for (unsigned i = 0; i < 2000; ++i)
        nearRecipients.push_back("aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa" +
                                 std::to_string(i) + "x.net");
    Run("near-identical history", near, nearRecipients);
    return 0;
}
