// The decisions of event reporting as plain functions: what a login address
// says about the player, which settings key and value remember a report,
// and the text of the statistics request. No platform calls; any thread.
#pragma once

#include <optional>
#include <string>

// The player identity that reports carry, from the login address.
struct ReportIdentity {
    std::string platform;
    std::string uid;
    std::string skey;  // the address's "sid"

    bool IsComplete() const { return !platform.empty() && !uid.empty() && !skey.empty(); }
    bool operator==(const ReportIdentity&) const = default;
};

// Reads the "platform=", "sid=" and "uid=" pairs of an address (ANSI code
// page, still URL-encoded) into |identity|. Pairs split at "&" after
// decoding; a later pair overwrites an earlier one, and a field that the
// address does not mention keeps its value. A key with nothing after it
// ("uid=") empties its field: the address names no value for it.
void ParseReportParameters(const std::string& address, ReportIdentity& identity);

// The settings key of an identity: platform_uid_skey ("__" when unknown).
std::string ReportSettingsKey(const ReportIdentity& identity);
constexpr const char* kUnknownIdentityKey = "__";

// The settings file's section and the most of a value it reads back.
constexpr const char* kReportSettingsSection = "PatchEventReport";
constexpr size_t kReportSettingsValueMax = 1023;

// Whether |actionType| is among the blank-separated action types of a
// stored value. An entry counts by its leading decimal digits ("4x" is 4);
// an entry without digits matches nothing.
bool IsActionReported(const std::string& storedValue, int actionType);

// The stored value with |actionType| appended.
std::string AppendReportedAction(const std::string& storedValue, int actionType);

// The leading decimal number of |text| (an optional sign, then digits);
// none when there are no digits or the number does not fit an int.
std::optional<int> LeadingNumber(const std::string& text);

// The facts of this machine and run that every report carries.
struct ReportFacts {
    std::string mac;  // the first adapter's address
    std::string net = "exe";
    std::string os;
    std::string browser = "launcherqamb";
    int screenWidth = 0;
    int screenHeight = 0;
};

// The statistics server's base address, ending in "?".
std::string ReportBaseUrl();

// The request for one event. Values go in as they are; the platform part is
// added only for a complete identity, and each of the two parts is cut at
// 1023 characters.
std::string BuildReportUrl(const std::string& baseUrl, const ReportFacts& facts, int actionType,
                           int result, int transid, const ReportIdentity& identity);
constexpr size_t kReportUrlPartMax = 1023;
