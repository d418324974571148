// The backup tests' stand-in for a user's program: appends the text of its
// command line after its own path (the argument text exactly as it was
// given) as one line to the file named by DERVANE_RECORD, then its current
// folder as a second line when DERVANE_RECORD_FOLDER is set, and ends with
// the exit code in DERVANE_EXIT (0 without it). With DERVANE_WAIT_EVENT it
// then records "pid <its id>" and waits (at most 30 seconds) until that named
// event is set: a slow program.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main()
{
    const char* line = GetCommandLineA();
    // The program's own path: quoted up to the next quote, else up to the
    // first space; then the one space before the argument text.
    if (*line == '"') {
        line = strchr(line + 1, '"');
        line = line ? line + 1 : "";
    } else {
        while (*line && *line != ' ')
            line++;
    }
    if (*line == ' ')
        line++;
    const char* record = getenv("DERVANE_RECORD");
    if (!record)
        return 3;
    FILE* file = fopen(record, "ab");
    if (!file)
        return 4;
    fprintf(file, "%s\n", line);
    char folder[MAX_PATH + 1] = {};
    if (getenv("DERVANE_RECORD_FOLDER") && GetCurrentDirectoryA(sizeof folder, folder))
        fprintf(file, "%s\n", folder);
    const char* wait = getenv("DERVANE_WAIT_EVENT");
    if (wait)
        fprintf(file, "pid %lu\n", GetCurrentProcessId());
    fclose(file);
    if (wait) {
        HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, wait);
        if (!event || WaitForSingleObject(event, 30000) != WAIT_OBJECT_0)
            return 5;
        CloseHandle(event);
    }
    const char* code = getenv("DERVANE_EXIT");
    return code ? atoi(code) : 0;
}
