/* A stand-in Windows game: records the command line Windows hands it, in its working folder. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

int main(void) {
    const char* line = GetCommandLineA();
    FILE* file = fopen("cmdline.part", "wb");
    if (file == NULL)
        return 1;
    fwrite(line, 1, strlen(line), file);
    fclose(file);
    /* Renamed into place, so the test never reads half a line. */
    return MoveFileA("cmdline.part", "cmdline.txt") ? 0 : 1;
}
