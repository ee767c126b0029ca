#include "query/MasterList.h"

#include <arpa/inet.h>

std::vector<std::string> SplitMasterTexts(const std::string& text) {
    std::vector<std::string> texts;
    std::string current;
    for (char c : text + ' ') {
        if (c == ' ' || c == '\t' || c == ',' || c == ';' || c == '\n' || c == '\r') {
            if (!current.empty())
                texts.push_back(std::move(current));
            current.clear();
        } else
            current += c;
    }
    return texts;
}

std::string JoinMasterTexts(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts) {
        if (!joined.empty())
            joined += ' ';
        joined += text;
    }
    return joined;
}

std::vector<CMasterTarget> ResolveMasters(const std::vector<std::string>& texts) {
    std::vector<CMasterTarget> targets;
    for (const std::string& text : texts) {
        bool repeated = false;
        for (const CMasterTarget& known : targets)
            repeated = repeated || known.m_text == text;
        if (repeated)
            continue;
        CMasterTarget target;
        target.m_text = text;
        target.m_address.SetPort(kMasterPort);
        target.m_address.Parse(text);
        target.m_resolved = target.m_address.sin_addr.s_addr != INADDR_NONE;
        for (const CMasterTarget& known : targets)
            repeated = repeated || (target.m_resolved && known.m_resolved &&
                                    known.m_address == target.m_address);
        if (!repeated)
            targets.push_back(std::move(target));
    }
    return targets;
}
