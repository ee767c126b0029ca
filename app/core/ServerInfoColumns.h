// The server info dialog's two columns, Variable and Value, are sized to their texts; one very
// long text must not squeeze the other column to nothing.
#pragma once

// A column's automatic width within a table `page` pixels wide: at most two thirds of it, so
// that after fitting both columns to the page each keeps at least a quarter. A longer text is
// cut with an ellipsis; its tool tip and the copy show it whole.
int CapInfoColumnWidth(int autoWidth, int page);
