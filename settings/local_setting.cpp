#include "settings/local_setting.h"

#include <windows.h>

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

namespace {

bool LookUpEnvironment(const std::string& name, std::string* value) {
    char text[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA(name.c_str(), text, sizeof text);
    if (length == 0 || length >= sizeof text)
        return false;
    *value = text;
    return true;
}

} // namespace

void LocalSetting::ReadAll(const SPolicy& policy) {
    std::string refused;
    const bool readable = ReadMarkedFile(&refused);
    for (size_t i = 0; i < kKeyCount; ++i) {
        const SSettingKey& key = KeyTable()[i];
        user_[i] = SUserValue();
        if (key.section == nullptr)
            continue;
        if (!readable) {
            // A file that cannot be read as meant may have set anything: the safe value.
            user_[i].present = key.type == EKeyType::Int;
            user_[i].text = std::to_string(key.safeValue);
            continue;
        }
        user_[i].present = ReadValue(key.section, key.name, &user_[i].text);
    }
    policy_ = policy;
    MergeSettings(user_, policy_, LookUpEnvironment, merged_);
    ApplyMerged();
    startLog = MergeLogLines(user_, policy_, merged_);
    unreadableWhy = readable ? "" : refused;
    if (!readable)
        startLog.insert(startLog.begin(), UnreadableFileLogText(refused, Path()));
}

void LocalSetting::ApplyMerged() {
    innerDomainsText = Merged(EKeyId::InnerDomains).source == EValueSource::UserFile
                           ? GetString("WhiteList", "InnerDomains", "")
                           : SetString("WhiteList", "InnerDomains",
                                       Merged(EKeyId::InnerDomains).text.c_str(), false);
    delete innerDomains;
    innerDomains = nullptr;
    innerDomains = new SStringList;
    // "a.jp, b.jp" as people type it: a blank kept in an entry would make it match nothing.
    AppendTrimmedDomains(innerDomains, innerDomainsText);
    innerDelayTime = Merged(EKeyId::InnerDelayTime).number;
    outerDelayTime = Merged(EKeyId::OuterDelayTime).number;
    columnsText = SetString("Option", "DelayListColumns",
                            Merged(EKeyId::DelayListColumns).text.c_str(), false);
    columnWidths.clear();
    SStringList fields;
    fields.AppendCommaSeparated(columnsText);
    for (const SStringNode* node = fields.first; node != nullptr; node = node->next)
        columnWidths.push_back(ParseDecimalInt(node->text));
    ReadConfirmValues();
    outsideKeywords = Merged(EKeyId::OutsideKeywords).text;
    logFile = Merged(EKeyId::LogFile).text;
    logLevel = Merged(EKeyId::LogLevel).number;
    ctrlBypass = Merged(EKeyId::CtrlBypass).number != 0;
    helpUrl = Merged(EKeyId::HelpUrl).text;
}

const std::string& LocalSetting::PolicyDomains() const {
    static const std::string none;
    const SPolicyValue& domains = policy_[EKeyId::InnerDomains];
    return domains.set && domains.readable ? domains.text : none;
}

bool LocalSetting::SaveDomains() {
    const SMergedValue& merged = Merged(EKeyId::InnerDomains);
    char* joined = innerDomains != nullptr ? innerDomains->JoinWithCommas() : nullptr;
    if (!merged.bounded) {
        innerDomainsText = SetString("WhiteList", "InnerDomains", joined, true);
        delete[] joined;
        return innerDomainsText != nullptr;
    }
    const std::string shown = joined != nullptr ? joined : "";
    delete[] joined;
    innerDomainsText = SetString("WhiteList", "InnerDomains", shown.c_str(), false);
    if (merged.fixed)
        return true;
    // The user's file gets the user's own entries: those the policy does not set, and those it
    // had already.
    const std::string policyList = "," + UnionOfLists(PolicyDomains(), "") + ",";
    std::string own;
    for (const SStringNode* node = innerDomains->first; node != nullptr; node = node->next) {
        if (policyList.find("," + std::string(node->text) + ",") == std::string::npos)
            own += (own.empty() ? "" : ",") + std::string(node->text);
    }
    SStringList before;
    AppendTrimmedDomains(&before, user_[static_cast<size_t>(EKeyId::InnerDomains)].text.c_str());
    for (const SStringNode* node = before.first; node != nullptr; node = node->next) {
        if (policyList.find("," + std::string(node->text) + ",") != std::string::npos)
            own = UnionOfLists(own, node->text);
    }
    return SetString("WhiteList", "InnerDomains", own.c_str(), true) != nullptr &&
           SetString("WhiteList", "InnerDomains", shown.c_str(), false) != nullptr;
}

bool LocalSetting::SaveNumber(EKeyId id, int32_t value) {
    const SSettingKey& key = KeyOf(id);
    if (!UserMayStore(key, Merged(id), value))
        return true;
    int32_t defaultValue = 0;
    ReadNumber(key.defaultText, &defaultValue);
    if (key.section == std::string("Option"))
        return SetOptionIfChanged(this, key.name, value, defaultValue);
    return SetInt(key.section, key.name, value);
}

bool LocalSetting::SaveSetupValues() {
    // Every write is tried: one that fails must not keep the others from the file.
    const bool domains = SaveDomains();
    const bool inner = SaveNumber(EKeyId::InnerDelayTime, innerDelayTime);
    const bool outer = SaveNumber(EKeyId::OuterDelayTime, outerDelayTime);
    const bool confirm = SaveConfirmValues();
    return domains && inner && outer && confirm;
}

// Anything out of range falls back to the default, which is what a user who never set the key
// gets; a value without digits reads as the safer choice.
void LocalSetting::ReadConfirmValues() {
    confirmMode = Merged(EKeyId::Confirm).number;
    confirmInsideEach = Merged(EKeyId::ConfirmInsideEach).number == 1;
    bccWarnCount = Merged(EKeyId::BccWarnCount).number;
    newDomainWarn = Merged(EKeyId::NewDomainWarn).number != 0;
    innerDomainMatch = Merged(EKeyId::InnerDomainMatch).number;
}

bool LocalSetting::SaveConfirmValues() {
    const bool mode = SaveNumber(EKeyId::Confirm, confirmMode);
    const bool each = SaveNumber(EKeyId::ConfirmInsideEach, confirmInsideEach ? 1 : 0);
    const bool bcc = SaveNumber(EKeyId::BccWarnCount, bccWarnCount);
    const bool fresh = SaveNumber(EKeyId::NewDomainWarn, newDomainWarn ? 1 : 0);
    const bool match = SaveNumber(EKeyId::InnerDomainMatch, innerDomainMatch);
    return mode && each && bcc && fresh && match;
}

std::vector<std::string> LocalSetting::ValueTexts() const {
    std::vector<std::string> texts(kKeyCount);
    char* domains = innerDomains != nullptr ? innerDomains->JoinWithCommas() : nullptr;
    texts[static_cast<size_t>(EKeyId::InnerDomains)] = domains != nullptr ? domains : "";
    delete[] domains;
    texts[static_cast<size_t>(EKeyId::InnerDelayTime)] = std::to_string(innerDelayTime);
    texts[static_cast<size_t>(EKeyId::OuterDelayTime)] = std::to_string(outerDelayTime);
    texts[static_cast<size_t>(EKeyId::DelayListColumns)] = ColumnWidthsText(columnWidths);
    texts[static_cast<size_t>(EKeyId::Confirm)] = std::to_string(confirmMode);
    texts[static_cast<size_t>(EKeyId::ConfirmInsideEach)] = std::to_string(confirmInsideEach);
    texts[static_cast<size_t>(EKeyId::BccWarnCount)] = std::to_string(bccWarnCount);
    texts[static_cast<size_t>(EKeyId::NewDomainWarn)] = std::to_string(newDomainWarn);
    texts[static_cast<size_t>(EKeyId::InnerDomainMatch)] = std::to_string(innerDomainMatch);
    texts[static_cast<size_t>(EKeyId::CtrlBypass)] = std::to_string(ctrlBypass);
    texts[static_cast<size_t>(EKeyId::OutsideKeywords)] = outsideKeywords;
    texts[static_cast<size_t>(EKeyId::LogFile)] = logFile;
    texts[static_cast<size_t>(EKeyId::LogLevel)] = std::to_string(logLevel);
    texts[static_cast<size_t>(EKeyId::HelpUrl)] = helpUrl;
    texts[static_cast<size_t>(EKeyId::AllowUserDomains)] =
        std::to_string(Merged(EKeyId::AllowUserDomains).number);
    return texts;
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
    // A policy's widths stay the policy's; the user's file keeps its own.
    if (Merged(EKeyId::DelayListColumns).bounded)
        return;
    const std::string text = ColumnWidthsText(columnWidths);
    columnsText = SetString("Option", "DelayListColumns", text.c_str(), true);
}
