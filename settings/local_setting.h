#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/ini_file.h"

class SStringList;

const int32_t kDefaultLogLevel = 6;

// The plug-in's settings record, read once at start-up.
class LocalSetting : public SIniFile {
  public:
    explicit LocalSetting(const char* path);
    ~LocalSetting() override;

    // Reads every key with its default, in start-up order.
    void ReadAll();
    // Writes innerDomains joined with commas; innerDomainsText follows the
    // result (null when the write failed). False when the write failed.
    bool SaveDomains();
    // Writes what the setup dialog sets: the domains and both hold times. False when any
    // write failed; the record keeps its values either way.
    bool SaveSetupValues();
    // Writes columnWidths; columnsText follows the result.
    void SaveColumnWidths();
    // "w1,w2,...,wn" in at most maxLength bytes; entries that do not fit are
    // left off.
    static std::string ColumnWidthsText(const std::vector<int>& widths, size_t maxLength = 1023);

    const char* innerDomainsText = nullptr;
    SStringList* innerDomains = nullptr;
    int32_t innerDelayTime = 0;
    int32_t outerDelayTime = 0;
    const char* columnsText = nullptr;
    std::vector<int> columnWidths;
    // The operation log: no file means no log. Read only, never written.
    std::string logFile;
    int32_t logLevel = kDefaultLogLevel;
    // Sending with Ctrl held goes out at once unless an organisation switches that off.
    bool ctrlBypass = true;
};

extern const char kDefaultDelayListColumns[];
