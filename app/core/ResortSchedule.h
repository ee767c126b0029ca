// When the visible table re-sorts while results stream in. Sorting after every server would
// cost quadratic time in a run with thousands of players, so the intervals grow with the rows.
#pragma once

// `rowCount` is the row count of the visible table after a server was added: the all-players
// table in the player view (0), the server table in the server view (1).
bool NeedsResort(int view, int rowCount);
