// Message boxes and the save-file dialog with Qt, and the filter conversion they need.
#pragma once

#include <QStringList>

#include <string_view>

namespace PlatformQt {

// "Text (*.a)|*.a|All (*.*)|*.*||" as Qt name filters: each description, with its patterns in
// parentheses added unless it already ends with them; ";" between patterns becomes a space.
QStringList NameFilters(std::string_view filter);

} // namespace PlatformQt
