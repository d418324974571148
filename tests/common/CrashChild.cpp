// Faults on purpose inside the guarded entry, in the way its argument names,
// so that the crash tests can read the report it leaves beside itself.
#include <windows.h>

#include <cstring>

#include "common/CrashReport.h"

namespace {

int* volatile g_nowhere = nullptr;

[[noreturn]] void FaultAgain()
{
    g_nowhere[2] = 2;
    ExitProcess(3);
}

// Reports the first access violation itself, then resumes in FaultAgain, so
// the guard sees a second fault of the same process.
LONG CALLBACK ReportThenFaultAgain(EXCEPTION_POINTERS* fault)
{
    static bool first = true;
    if (!first || fault->ExceptionRecord->ExceptionCode != EXCEPTION_ACCESS_VIOLATION) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    first = false;
    WriteCrashReport(fault, "Main Thread");
    CONTEXT* context = fault->ContextRecord;
    context->Rip = reinterpret_cast<DWORD64>(&FaultAgain);
    // As if called: the return address slot below a 16-byte aligned stack.
    context->Rsp = (context->Rsp & ~DWORD64(15)) - 8;
    return EXCEPTION_CONTINUE_EXECUTION;
}

int Body(void* context)
{
    const char* mode = static_cast<const char*>(context);
    if (strcmp(mode, "write-null") == 0) {
        *g_nowhere = 1;
    } else if (strcmp(mode, "read-null") == 0) {
        return *g_nowhere;
    } else if (strcmp(mode, "no-module") == 0) {
        void* page = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_NOACCESS);
        reinterpret_cast<void (*)()>(page)();
    } else if (strcmp(mode, "twice") == 0) {
        AddVectoredExceptionHandler(1, ReportThenFaultAgain);
        *g_nowhere = 1;
    }
    return 7;
}

}  // namespace

int main(int argc, char** argv)
{
    char ok[] = "none";
    return RunGuarded(Body, argc > 1 ? argv[1] : ok);
}
