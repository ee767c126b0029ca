#include "app/core/MasterStatus.h"

#include "query/QueryEngine.h"

namespace {

std::string Listed(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts)
        joined += (joined.empty() ? "" : ", ") + text;
    return joined;
}

} // namespace

std::string MasterStatusText(const CMasterReport& report) {
    if (report.m_answered.empty() || (report.m_silent.empty() && report.m_unresolved.empty()))
        return kIdleStatus;
    std::string text = std::to_string(report.m_answered.size()) + " of " +
                       std::to_string(report.Asked()) + " masters answered.";
    if (!report.m_silent.empty())
        text += " Silent: " + Listed(report.m_silent) + ".";
    if (!report.m_unresolved.empty())
        text += " Unknown: " + Listed(report.m_unresolved) + ".";
    return text;
}
