// Qt's accessibility for windows that describe a grid of their own (CWnd::GetAccessibleTable):
// a table with a cell per row and column, column titles, the selection and the current cell
// as the focused child.
#pragma once

namespace PlatformQt {

// Installs the factory once; later calls do nothing.
void InstallAccessibleTables();

} // namespace PlatformQt
