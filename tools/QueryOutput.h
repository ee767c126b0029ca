// Printing the finished servers of a query as a table, JSON or CSV, in UTF-8.
#pragma once

#include "tools/QueryOptions.h"

#include <ostream>
#include <string>
#include <vector>

class CServerRecord;

// The window's filter: empty servers only with includeEmpty, full ones only with includeFull.
bool PassesFilter(const CServerRecord& record, bool includeEmpty, bool includeFull);

// Received bytes are Windows-1252; bytes that code page leaves undefined map to U+0080..U+009F.
std::string Cp1252ToUtf8(const std::string& text);
std::string JsonString(const std::string& text);
std::string CsvField(const std::string& text);

// Writes the records in the given order.
void WriteServers(std::ostream& out, const std::vector<const CServerRecord*>& servers,
                  const CQueryOptions& options);
