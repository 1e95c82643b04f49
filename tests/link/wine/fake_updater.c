/* A Windows console program in the place of the kit's update program: it
 * writes its arguments beside itself (args.txt), one a line, then whether the
 * port named by the first one opens, and ends with the code in exit_code.txt
 * (0 without it). */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>
int main(int argc, char **argv)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, MAX_PATH);
    char *slash = strrchr(path, '\\');
    if (!n || !slash) return 90;
    strcpy(slash + 1, "args.txt");
    FILE *f = fopen(path, "w");
    if (!f) return 91;
    for (int i = 1; i < argc; ++i) fprintf(f, "%s\n", argv[i]);
    if (argc > 1) {
        char dev[64];
        snprintf(dev, sizeof dev, "\\\\.\\%s", argv[1]);
        HANDLE h = CreateFileA(dev, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
        fprintf(f, "open %s: %s\n", argv[1], h == INVALID_HANDLE_VALUE ? "failed" : "ok");
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    fclose(f);
    strcpy(slash + 1, "exit_code.txt");
    int code = 0;
    FILE *c = fopen(path, "r");
    if (c) { if (fscanf(c, "%d", &code) != 1) code = 0; fclose(c); }
    printf("fake updater done\n");
    return code;
}
