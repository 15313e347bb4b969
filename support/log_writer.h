#pragma once

#include <windows.h>

#include <cstdint>

namespace NTessik {

// The levels a record is written at; a log keeps those up to its maximum.
const int32_t kLevelError = 2;
const int32_t kLevelInfo = 6;
const int32_t kLevelDebug = 8;

// Header of one log record, filled when the writer is made.
struct SLogDigest {
    int32_t level; // 2 error, 4 warning, 6 information, 8 debug
    SYSTEMTIME time;
    const char* sourceFile;
    int32_t sourceLine;
    uint32_t reserved1;
    uint32_t reserved2;
    HANDLE thread;
    DWORD threadId;
};

// Receives finished records. None is installed unless the settings name a log file.
class SLogSink {
  public:
    virtual ~SLogSink() = default;
    virtual bool Write(const SLogDigest& digest, const char* text) = 0;
};

// Optional configuration; without one the maximum level is 10.
struct SLogConfig {
    int32_t maxLevel;
};

// The installed sink, null when there is no log. Neither is owned here.
SLogSink* GetSink();
void SetSink(SLogSink* sink);
void SetConfig(const SLogConfig* config);
void SetSinkForTesting(SLogSink* sink);
void SetConfigForTesting(const SLogConfig* config);
int32_t MaxLevel();

// One writer per log call, made on the stack.
class SLogWriter {
  public:
    SLogWriter(SLogSink* sink, const char* sourceFile, int32_t sourceLine, uint32_t reserved1,
               uint32_t reserved2, int32_t level);
    ~SLogWriter() = default;

    // Formats printf-style and hands the record to the sink. False without a
    // sink or above the maximum level; the format is not touched then.
    bool Write(const char* format, ...);

    const SLogDigest& Digest() const { return digest_; }

  private:
    SLogDigest digest_;
    SLogSink* sink_;
};

} // namespace NTessik
