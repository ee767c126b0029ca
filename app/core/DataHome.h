// The folder the desktop launcher runs the browser in, so the favourites file, which is found
// in the working directory, has one home whatever folder the launcher would have chosen.
#pragma once

#include <string>

// $XDG_DATA_HOME/vantrel, or ~/.local/share/vantrel when XDG_DATA_HOME is unset, empty or
// relative; empty when neither gives an absolute folder.
std::string DataHomeFolder();

// Creates DataHomeFolder() and its parents where missing and makes it the working directory.
// On failure returns false with a one-line message in `error`; the directory is unchanged.
bool EnterDataHome(std::string& error);
