// The one place where the program's Windows-1252 byte strings meet Qt's Unicode strings.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace PlatformQt {

// Every byte maps to one character. The five bytes that Windows-1252 leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same number, as Windows does,
// so any byte string survives the way there and back.
QString FromCp1252(std::string_view bytes);

// Characters without a Windows-1252 byte become "?" (a surrogate pair gives one "?").
std::string ToCp1252(const QString& text);

} // namespace PlatformQt
