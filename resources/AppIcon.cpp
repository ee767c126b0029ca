#include "resources/AppIcon.h"

namespace Res {

// A blue disc with a white rim and a glowing blade across it.
const char* const kAppIconXpm[] = {
    "32 32 5 1",
    ". c None",
    "b c #1B2A5C",
    "w c #E8ECF4",
    "c c #4FE3FF",
    "g c #8A8F99",
    "................................",
    "...........wwwwwwwwww...........",
    "........wwwwbbbbbbbbwwww........",
    ".......wwwbbbbbbbbbbbbwww.......",
    "......wwbbbbbbbbbbbbbbbbww......",
    ".....wwbbbbbbbbbbbbbbbbbbww.....",
    "....wwbbbbbbbbbbbbbbbbbbcbww....",
    "...wwbbbbbbbbbbbbbbbbbbccbbww...",
    "..wwbbbbbbbbbbbbbbbbbbcccbbbww..",
    "..wwbbbbbbbbbbbbbbbbbcccbbbbww..",
    "..wbbbbbbbbbbbbbbbbbcccbbbbbbw..",
    ".wwbbbbbbbbbbbbbbbbcccbbbbbbbww.",
    ".wbbbbbbbbbbbbbbbbcccbbbbbbbbbw.",
    ".wbbbbbbbbbbbbbbbcccbbbbbbbbbbw.",
    ".wbbbbbbbbbbbbbbcccbbbbbbbbbbbw.",
    ".wbbbbbbbbbbbbbcccbbbbbbbbbbbbw.",
    ".wbbbbbbbbbbbbcccbbbbbbbbbbbbbw.",
    ".wbbbbbbbbbbbcccbbbbbbbbbbbbbbw.",
    ".wbbbbbbbbbbcccbbbbbbbbbbbbbbbw.",
    ".wbbbbbbbbbcccbbbbbbbbbbbbbbbbw.",
    ".wwbbbbbbbcccbbbbbbbbbbbbbbbbww.",
    "..wbbbbbgcccbbbbbbbbbbbbbbbbbw..",
    "..wwbbbggccbbbbbbbbbbbbbbbbbww..",
    "..wwbbgggcbbbbbbbbbbbbbbbbbbww..",
    "...wwbgggbbbbbbbbbbbbbbbbbbww...",
    "....wwgggbbbbbbbbbbbbbbbbbww....",
    ".....wwbbbbbbbbbbbbbbbbbbww.....",
    "......wwbbbbbbbbbbbbbbbbww......",
    ".......wwwbbbbbbbbbbbbwww.......",
    "........wwwwbbbbbbbbwwww........",
    "...........wwwwwwwwww...........",
    "................................",
};

} // namespace Res
