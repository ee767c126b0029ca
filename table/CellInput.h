// The in-place editor of a column as the control sees it: what autosizing needs to know.
// Editors themselves come with in-place editing; no column kind makes one yet.
#pragma once

namespace Tavex {

class CCellInput {
public:
    virtual ~CCellInput() = default;
    // The smallest width and the height the editor needs inside a cell.
    virtual int GetEditorWidth() const = 0;
    virtual int GetEditorHeight() const = 0;
};

} // namespace Tavex
