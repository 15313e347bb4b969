// The operation log: one line per record, appended to a file that starts again past a size.
#pragma once

#include <string>

#include "support/log_writer.h"

namespace NTessik {

const unsigned long kLogFileLimit = 1024 * 1024;
const size_t kLogTextLimit = 8192;

// "YYYY/MM/DD hh:mm:ss.mmm [pid] level text" with CR LF; the text is cut to kLogTextLimit
// bytes and escaped, so it never spans two lines.
std::string FormatLogLine(const SLogDigest& digest, unsigned long processId, const char* text);

class SFileLogSink : public SLogSink {
  public:
    explicit SFileLogSink(const char* path, unsigned long limit = kLogFileLimit);
    // False for a path that is relative, names a folder, or whose folder is missing: then
    // nothing is ever written.
    bool Usable() const;
    // Appends one line. Past the limit the file is first renamed to <path>.1 (replacing an
    // older one). False when nothing could be written; never reported further.
    bool Write(const SLogDigest& digest, const char* text) override;

  private:
    void RotateWhenFull();

    std::string path_;
    unsigned long limit_;
};

} // namespace NTessik
