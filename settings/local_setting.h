#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/ini_file.h"
#include "settings/setting_merge.h"

class SStringList;

const int32_t kDefaultLogLevel = 6;
const int32_t kDefaultBccWarnCount = 10;

// The plug-in's settings record, read once at start-up.
class LocalSetting : public SIniFile {
  public:
    explicit LocalSetting(const char* path);
    ~LocalSetting() override;

    // Reads every key with its default, in start-up order, and merges the policy in.
    void ReadAll(const SPolicy& policy = SPolicy());
    // Writes innerDomains joined with commas; innerDomainsText follows the
    // result (null when the write failed). False when the write failed.
    bool SaveDomains();
    // Writes what the setup dialog sets: the domains, both hold times and the
    // confirmation keys. False when any write failed; the record keeps its values
    // either way.
    bool SaveSetupValues();
    // Reads the confirmation keys; part of ReadAll.
    void ReadConfirmValues();
    // Writes the confirmation keys whose value differs from the file's.
    bool SaveConfirmValues();
    // Writes columnWidths; columnsText follows the result.
    void SaveColumnWidths();
    // "w1,w2,...,wn" in at most maxLength bytes; entries that do not fit are
    // left off.
    static std::string ColumnWidthsText(const std::vector<int>& widths, size_t maxLength = 1023);
    // Every key's value in force, in key table order, as the log shows it.
    std::vector<std::string> ValueTexts() const;
    const SMergedValue& Merged(EKeyId id) const { return merged_[static_cast<size_t>(id)]; }
    // True when a policy sets any key: the dialogs say so.
    bool PolicyInForce() const { return policy_.Any() || !policy_.refusedFile.empty(); }
    // The inner domains the policy sets; the user's entries are the others.
    const std::string& PolicyDomains() const;

    const char* innerDomainsText = nullptr;
    SStringList* innerDomains = nullptr;
    int32_t innerDelayTime = 0;
    int32_t outerDelayTime = 0;
    const char* columnsText = nullptr;
    std::vector<int> columnWidths;
    // Confirmation before the hold: 0 off, 1 when any recipient is outside, 2 always, 3 only
    // when a row or a warning needs attention.
    int32_t confirmMode = 0;
    // Inside recipients are ticked one by one, never all at once.
    bool confirmInsideEach = false;
    // Outside To/Cc addresses from which the mass-mail warning shows; 0 is off.
    int32_t bccWarnCount = kDefaultBccWarnCount;
    bool newDomainWarn = true;
    // 0: an entry anywhere in the domain counts inside; 1: the domain or its subdomains.
    int32_t innerDomainMatch = 0;
    // Comma list of words that, in the subject of mail with an outside recipient, ask for a
    // ticked warning. Read only, never written.
    std::string outsideKeywords;
    // The operation log: no file means no log. Read only, never written.
    std::string logFile;
    int32_t logLevel = kDefaultLogLevel;
    // Sending with Ctrl held goes out at once unless an organisation switches that off.
    bool ctrlBypass = true;
    // The office's own page for the guide; empty for the product's.
    std::string helpUrl;
    // Read at start, written to the log once it is installed.
    std::vector<std::string> startLog;
    // Why the file could not be read as meant; empty when it could.
    std::string unreadableWhy;

  private:
    void ApplyMerged();
    bool SaveNumber(EKeyId id, int32_t value);

    SPolicy policy_;
    SUserValue user_[kKeyCount];
    SMergedValue merged_[kKeyCount];
};

extern const char kDefaultDelayListColumns[];
