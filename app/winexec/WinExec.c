/* Starts a Windows program through Wine with an exact command line. Wine rebuilds a Windows
 * command line from its Unix arguments and quotes each one, which would hand the game its
 * command as one quoted, escaped word. Wine's quoting round-trips through the C runtime's
 * argument parser, so the line comes back here unchanged as the one argument. */
#include <windows.h>

/* The line is the game's, not a file pattern. */
int _dowildcard = 0;

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    /* The caller reads success as a value above 31. */
    return WinExec(argv[1], SW_SHOWNORMAL) > 31 ? 0 : 1;
}
