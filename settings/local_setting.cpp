#include "settings/local_setting.h"

#include <cstdio>

#include "settings/domain_text.h"
#include "support/int_parse.h"
#include "support/string_list.h"

const char kDefaultDelayListColumns[] = "135,164,61,206,128,126,59,89";

namespace {

// A user who never changes a key keeps a file without it.
bool SetOptionIfChanged(SIniFile* file, const char* key, int32_t value, int32_t defaultValue) {
    if (file->GetInt("Option", key, defaultValue) == value)
        return true;
    return file->SetInt("Option", key, value);
}

} // namespace

LocalSetting::LocalSetting(const char* path) : SIniFile(path) {}

LocalSetting::~LocalSetting() {
    delete innerDomains;
}

void LocalSetting::ReadAll() {
    innerDomainsText = GetString("WhiteList", "InnerDomains", "");
    delete innerDomains;
    innerDomains = nullptr;
    innerDomains = new SStringList;
    // "a.jp, b.jp" as people type it: a blank kept in an entry would make it match nothing.
    AppendTrimmedDomains(innerDomains, innerDomainsText);
    innerDelayTime = GetInt("Delay", "InnerDelayTime", 0);
    outerDelayTime = GetInt("Delay", "OuterDelayTime", 5);
    columnsText = GetString("Option", "DelayListColumns", kDefaultDelayListColumns);

    columnWidths.clear();
    SStringList fields;
    fields.AppendCommaSeparated(columnsText);
    for (const SStringNode* node = fields.first; node != nullptr; node = node->next)
        columnWidths.push_back(ParseDecimalInt(node->text));
    ReadConfirmValues();

    logFile = GetString("Option", "LogFile", "");
    logLevel = GetInt("Option", "LogLevel", kDefaultLogLevel);
    if (logLevel != 2 && logLevel != 6 && logLevel != 8)
        logLevel = kDefaultLogLevel;
    // 0, or text that reads as 0, switches the bypass off: a garbled key errs towards the hold.
    ctrlBypass = GetInt("Option", "CtrlBypass", 1) != 0;
}

bool LocalSetting::SaveDomains() {
    char* joined = innerDomains != nullptr ? innerDomains->JoinWithCommas() : nullptr;
    innerDomainsText = SetString("WhiteList", "InnerDomains", joined, true);
    delete[] joined;
    return innerDomainsText != nullptr;
}

bool LocalSetting::SaveSetupValues() {
    // Every write is tried: one that fails must not keep the others from the file.
    const bool domains = SaveDomains();
    const bool inner = SetInt("Delay", "InnerDelayTime", innerDelayTime);
    const bool outer = SetInt("Delay", "OuterDelayTime", outerDelayTime);
    const bool confirm = SaveConfirmValues();
    return domains && inner && outer && confirm;
}

// Anything out of range falls back to the default, which is what a user who never set the key
// gets.
void LocalSetting::ReadConfirmValues() {
    confirmMode = GetInt("Option", "Confirm", 0);
    if (confirmMode < 0 || confirmMode > 3)
        confirmMode = 0;
    confirmInsideEach = GetInt("Option", "ConfirmInsideEach", 0) == 1;
    bccWarnCount = GetInt("Option", "BccWarnCount", kDefaultBccWarnCount);
    if (bccWarnCount < 0)
        bccWarnCount = kDefaultBccWarnCount;
    newDomainWarn = GetInt("Option", "NewDomainWarn", 1) != 0;
    innerDomainMatch = GetInt("Option", "InnerDomainMatch", 0);
    if (innerDomainMatch != 0 && innerDomainMatch != 1)
        innerDomainMatch = 0;
    outsideKeywords = GetString("Option", "OutsideKeywords", "");
}

bool LocalSetting::SaveConfirmValues() {
    const bool mode = SetOptionIfChanged(this, "Confirm", confirmMode, 0);
    const bool each = SetOptionIfChanged(this, "ConfirmInsideEach", confirmInsideEach ? 1 : 0, 0);
    const bool bcc = SetOptionIfChanged(this, "BccWarnCount", bccWarnCount, kDefaultBccWarnCount);
    const bool fresh = SetOptionIfChanged(this, "NewDomainWarn", newDomainWarn ? 1 : 0, 1);
    const bool match = SetOptionIfChanged(this, "InnerDomainMatch", innerDomainMatch, 0);
    return mode && each && bcc && fresh && match;
}

std::string LocalSetting::ColumnWidthsText(const std::vector<int>& widths, size_t maxLength) {
    std::string text;
    for (size_t i = 0; i < widths.size(); ++i) {
        char entry[16];
        const int length = std::snprintf(entry, sizeof entry, i == 0 ? "%d" : ",%d", widths[i]);
        if (length < 0 || text.size() + static_cast<size_t>(length) > maxLength)
            break;
        text += entry;
    }
    return text;
}

void LocalSetting::SaveColumnWidths() {
    const std::string text = ColumnWidthsText(columnWidths);
    columnsText = SetString("Option", "DelayListColumns", text.c_str(), true);
}
