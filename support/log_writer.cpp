#include "support/log_writer.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace NTessik {

namespace {
SLogSink* g_sink = nullptr;
const SLogConfig* g_config = nullptr;
} // namespace

SLogSink* GetSink() {
    return g_sink;
}
void SetSink(SLogSink* sink) {
    g_sink = sink;
}
void SetConfig(const SLogConfig* config) {
    g_config = config;
}
void SetSinkForTesting(SLogSink* sink) {
    SetSink(sink);
}
void SetConfigForTesting(const SLogConfig* config) {
    SetConfig(config);
}
int32_t MaxLevel() {
    return g_config != nullptr ? g_config->maxLevel : 10;
}

SLogWriter::SLogWriter(SLogSink* sink, const char* sourceFile, int32_t sourceLine,
                       uint32_t reserved1, uint32_t reserved2, int32_t level)
    : digest_(), sink_(sink) {
    digest_.level = level;
    digest_.sourceFile = sourceFile;
    digest_.sourceLine = sourceLine;
    digest_.reserved1 = reserved1;
    digest_.reserved2 = reserved2;
    GetLocalTime(&digest_.time);
    digest_.threadId = GetCurrentThreadId();
    digest_.thread = GetCurrentThread();
}

bool SLogWriter::Write(const char* format, ...) {
    if (sink_ == nullptr)
        return false;
    if (digest_.level > MaxLevel())
        return false;
    if (format == nullptr)
        return false;

    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0) {
        va_end(args);
        return false;
    }
    std::vector<char> text(static_cast<size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    return sink_->Write(digest_, text.data());
}

} // namespace NTessik
