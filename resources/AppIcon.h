// The application icon (resource 128): a 32 x 32 picture in XPM form.
#pragma once

namespace Res {

extern const char* const kAppIconXpm[];

} // namespace Res
