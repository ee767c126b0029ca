#include "tools/QueryOutput.h"

#include "query/GameVersion.h"
#include "query/ServerRecord.h"

#include <cstdio>

namespace {

// Code points of 0x80..0x9F in Windows-1252; the five undefined bytes keep their C1 value.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80)
        out += static_cast<char>(code);
    else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string Address(const CServerRecord& record) {
    return record.m_address.Format();
}

std::string Players(const CServerRecord& record) {
    return std::to_string(record.m_players.size()) + "/" + std::to_string(record.m_maxClients);
}

bool Answered(const CServerRecord& record) {
    return record.m_state >= CServerRecord::kStateAnswered;
}

void WriteJson(std::ostream& out, const std::vector<const CServerRecord*>& servers,
               const CQueryOptions& options) {
    out << "[";
    const char* separator = "\n";
    for (const CServerRecord* record : servers) {
        out << separator << "  {\"address\": " << JsonString(Address(*record))
            << ", \"name\": " << JsonString(record->m_name)
            << ", \"map\": " << JsonString(record->m_map)
            << ", \"gametype\": " << record->m_gameType
            << ", \"gametype_name\": " << JsonString(GameTypeName(record->m_gameType))
            << ", \"ping\": " << record->m_ping
            << ", \"answered\": " << (Answered(*record) ? "true" : "false")
            << ", \"players\": " << record->m_players.size()
            << ", \"max_players\": " << record->m_maxClients;
        const int protocol = ProtocolOf(*record);
        out << ", \"protocol\": " << (protocol != 0 ? std::to_string(protocol) : "null")
            << ", \"version\": "
            << (protocol != 0 ? JsonString(VersionText(*record)) : std::string("null"))
            << ", \"masters\": [";
        for (std::size_t i = 0; i < record->m_masters.size(); ++i)
            out << (i ? ", " : "") << JsonString(record->m_masters[i].Format());
        out << "]";
        if (options.players) {
            out << ", \"player_list\": [";
            const char* comma = "";
            for (const CPlayerInfo& player : record->m_players) {
                out << comma << "{\"name\": " << JsonString(player.name)
                    << ", \"frags\": " << player.frags << ", \"ping\": " << player.ping << "}";
                comma = ", ";
            }
            out << "]";
        }
        if (options.variables) {
            out << ", \"variables\": [";
            const char* comma = "";
            for (const CServerVariable& variable : record->m_variables) {
                out << comma << "[" << JsonString(variable.key) << ", "
                    << JsonString(variable.value) << "]";
                comma = ", ";
            }
            out << "]";
        }
        out << "}";
        separator = ",\n";
    }
    out << (servers.empty() ? "]\n" : "\n]\n");
}

void WriteCsv(std::ostream& out, const std::vector<const CServerRecord*>& servers,
              const CQueryOptions& options) {
    out << "name,address,ping,players,max_players,map,gametype,gametype_name,version";
    if (options.players)
        out << ",player_list";
    if (options.variables)
        out << ",variables";
    out << "\r\n";
    for (const CServerRecord* record : servers) {
        out << CsvField(record->m_name) << ',' << Address(*record) << ',' << record->m_ping << ','
            << record->m_players.size() << ',' << record->m_maxClients << ','
            << CsvField(record->m_map) << ',' << record->m_gameType << ','
            << CsvField(GameTypeName(record->m_gameType)) << ',' << VersionText(*record);
        if (options.players) {
            std::string list;
            for (const CPlayerInfo& player : record->m_players)
                list += (list.empty() ? "" : "; ") + player.name + " (" +
                        std::to_string(player.frags) + "/" + std::to_string(player.ping) + ")";
            out << ',' << CsvField(list);
        }
        if (options.variables) {
            std::string list;
            for (const CServerVariable& variable : record->m_variables)
                list += (list.empty() ? "" : "; ") + variable.key + "=" + variable.value;
            out << ',' << CsvField(list);
        }
        out << "\r\n";
    }
}

void WriteTable(std::ostream& out, const std::vector<const CServerRecord*>& servers,
                const CQueryOptions& options) {
    char line[160];
    std::snprintf(line, sizeof line, "%5s  %-7s  %-4s  %-21s  %-16s  %-22s  %s\n", "Ping",
                  "Players", "Ver", "Address", "Map", "Type", "Server");
    out << line;
    for (const CServerRecord* record : servers) {
        std::snprintf(line, sizeof line, "%5d  %-7s  %-4s  %-21s  ", record->m_ping,
                      Players(*record).c_str(), VersionText(*record).c_str(),
                      Address(*record).c_str());
        out << line << Cp1252ToUtf8(record->m_map)
            << std::string(record->m_map.size() < 16 ? 16 - record->m_map.size() : 0, ' ') << "  ";
        std::string type = GameTypeName(record->m_gameType);
        out << type << std::string(type.size() < 22 ? 22 - type.size() : 0, ' ') << "  "
            << Cp1252ToUtf8(record->m_name) << "\n";
        if (options.players)
            for (const CPlayerInfo& player : record->m_players)
                out << "       player " << player.frags << " frags, " << player.ping
                    << " ms: " << Cp1252ToUtf8(player.name) << "\n";
        if (options.variables)
            for (const CServerVariable& variable : record->m_variables)
                out << "       " << Cp1252ToUtf8(variable.key) << " = "
                    << Cp1252ToUtf8(variable.value) << "\n";
    }
}

} // namespace

bool PassesFilter(const CServerRecord& record, bool includeEmpty, bool includeFull) {
    std::size_t players = record.m_players.size();
    return (includeEmpty || players > 0) &&
           (includeFull || players < static_cast<std::uint32_t>(record.m_maxClients));
}

std::string Cp1252ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte < 0xA0)
            AppendUtf8(out, kHighControls[byte - 0x80]);
        else
            AppendUtf8(out, byte);
    }
    return out;
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (char c : Cp1252ToUtf8(text)) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
                out += escaped;
            } else
                out += c;
        }
    }
    return out + "\"";
}

std::string CsvField(const std::string& text) {
    std::string utf8 = Cp1252ToUtf8(text);
    if (utf8.find_first_of(",\"\r\n") == std::string::npos)
        return utf8;
    std::string out = "\"";
    for (char c : utf8)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

void WriteServers(std::ostream& out, const std::vector<const CServerRecord*>& servers,
                  const CQueryOptions& options) {
    switch (options.format) {
    case CQueryOptions::EFormat::Json:
        WriteJson(out, servers, options);
        break;
    case CQueryOptions::EFormat::Csv:
        WriteCsv(out, servers, options);
        break;
    case CQueryOptions::EFormat::Table:
        WriteTable(out, servers, options);
        break;
    }
}
