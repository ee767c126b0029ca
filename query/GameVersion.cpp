#include "query/GameVersion.h"

#include "query/ServerRecord.h"

#include <cstdlib>

int ProtocolOf(const CServerRecord& record) {
    if (record.m_protocol != 0)
        return record.m_protocol;
    const std::string* stated = record.FindVariable("protocol");
    const int protocol = stated ? std::atoi(stated->c_str()) : 0;
    return protocol == kProtocol102 || protocol == kProtocol104 ? protocol : 0;
}

std::string VersionText(const CServerRecord& record) {
    switch (ProtocolOf(record)) {
    case kProtocol104:
        return "1.04";
    case kProtocol102: {
        const std::string* version = record.FindVariable("version");
        return version && version->find("1.03") != std::string::npos ? "1.03" : "1.02";
    }
    default:
        return {};
    }
}
