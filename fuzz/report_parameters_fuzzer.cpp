// A login address as the portal hands it over, in the ANSI code page: the
// identity taken from it must never hold the separators it was cut at, and
// the report built from it keeps to its two cut parts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/PatchEventReport.h"
#include "common/UrlDecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string address(reinterpret_cast<const char*>(data), size);
    if (UrlDecode(address).size() > address.size()) std::abort();

    ReportIdentity identity{"old", "old", "old"};
    ParseReportParameters(address, identity);
    for (const std::string* field : {&identity.platform, &identity.uid, &identity.skey}) {
        if (field->find_first_of("&=") != std::string::npos) std::abort();
    }

    ReportFacts facts;
    facts.mac = "00-00-00-00-00-00";
    facts.os = "Windows_7";
    const std::string url = BuildReportUrl(ReportBaseUrl(), facts, 4, 1, 4712, identity);
    if (url.size() > 2 * kReportUrlPartMax) std::abort();
    if (identity.IsComplete() != (url.find("&&platform=") != std::string::npos)) std::abort();
    // Whatever a settings value held before, the action appended to it is found.
    if (!IsActionReported(AppendReportedAction(identity.uid, 4), 4)) std::abort();
    if (ReportSettingsKey(identity).size() !=
        identity.platform.size() + identity.uid.size() + identity.skey.size() + 2) {
        std::abort();
    }
    return 0;
}
