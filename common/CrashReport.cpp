#include "common/CrashReport.h"

#include "framework/ScopedHandles.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>

// The report runs on the faulting thread, possibly with little stack left and
// a damaged heap: it works in static buffers, reads memory that may be
// unreadable only through ReadProcessMemory (which answers failure instead of
// faulting), and formats without allocating.
namespace {

constexpr size_t kWriteBufferSize = 4096;
constexpr size_t kStackDumpMax = 8192;
constexpr size_t kDumpBufferSize = 1024;
constexpr size_t kDumpFlushAt = kDumpBufferSize - 64;
constexpr uintptr_t kRegionSkip = 64 * 1024;

char g_write[kWriteBufferSize];
char g_dump[kDumpBufferSize];
uint32_t g_stack[kStackDumpMax / sizeof(uint32_t)];
// Paths are asked for wide and kept as UTF-8, which takes up to three bytes
// for each UTF-16 unit.
constexpr size_t kPathBytes = 3 * MAX_PATH + 1;
wchar_t g_widePath[MAX_PATH + 1];
wchar_t g_reportPath[MAX_PATH + 16];
char g_exePath[kPathBytes];
char g_appName[kPathBytes];
char g_modulePath[kPathBytes];

volatile LONG g_reported = 0;
const char* g_guardWhere = "Main Thread";
DWORD g_guardThread = 0;

struct ExceptionName {
    DWORD code;
    const char* text;
};

const ExceptionName kExceptionNames[] = {
    {0x40010005, "a Control-C"},
    {0x40010008, "a Control-Break"},
    {0x80000002, "a Datatype Misalignment"},
    {0x80000003, "a Breakpoint"},
    {0xC0000005, "an Access Violation"},
    {0xC0000006, "an In Page Error"},
    {0xC0000017, "a No Memory"},
    {0xC000001D, "an Illegal Instruction"},
    {0xC0000025, "a Noncontinuable Exception"},
    {0xC0000026, "an Invalid Disposition"},
    {0xC000008C, "a Array Bounds Exceeded"},
    {0xC000008D, "a Float Denormal Operand"},
    {0xC000008E, "a Float Divide by Zero"},
    {0xC000008F, "a Float Inexact Result"},
    {0xC0000090, "a Float Invalid Operation"},
    {0xC0000091, "a Float Overflow"},
    {0xC0000092, "a Float Stack Check"},
    {0xC0000093, "a Float Underflow"},
    {0xC0000094, "an Integer Divide by Zero"},
    {0xC0000095, "an Integer Overflow"},
    {0xC0000096, "a Privileged Instruction"},
    {0xC00000FD, "a Stack Overflow"},
    {0xC0000142, "a DLL Initialization Failed"},
    {0xE06D7363, "a Microsoft C++ Exception"},
};

void WriteText(HANDLE file, const char* text, size_t length)
{
    DWORD written = 0;
    WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr);
}

void WriteText(HANDLE file, const char* text)
{
    WriteText(file, text, strlen(text));
}

__attribute__((format(gnu_printf, 2, 3))) void WriteFormat(HANDLE file, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int length = vsnprintf(g_write, sizeof g_write, format, args);
    va_end(args);
    if (length <= 0)
        return;
    size_t size = static_cast<size_t>(length);
    WriteText(file, g_write, size < sizeof g_write ? size : sizeof g_write - 1);
}

// Whether every page of [address, address + size) is committed and readable.
// Asked before reading because Wine's ReadProcessMemory reads pages of the own
// process even when they are marked as not accessible.
bool IsReadable(uintptr_t address, size_t size)
{
    const DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
        PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    uintptr_t end = address + size;
    if (end < address)
        return false;
    while (address < end) {
        MEMORY_BASIC_INFORMATION info = {};
        if (!VirtualQuery(reinterpret_cast<const void*>(address), &info, sizeof info) || info.State != MEM_COMMIT ||
            !(info.Protect & kReadable) || (info.Protect & PAGE_GUARD)) {
            return false;
        }
        uintptr_t next = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
        if (next <= address)
            return false;
        address = next;
    }
    return true;
}

bool ReadMemory(uintptr_t address, void* out, size_t size)
{
    if (!IsReadable(address, size))
        return false;
    SIZE_T got = 0;
    return ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<const void*>(address), out, size, &got) &&
        got == size;
}

const char* FileNamePart(const char* path)
{
    const char* slash = strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

// Wide text as UTF-8 into out, which holds size bytes; false when it does
// not fit.
bool ToUtf8(const wchar_t* wide, char* out, size_t size)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, out, static_cast<int>(size), nullptr, nullptr);
    if (n <= 0) {
        out[0] = '\0';
        return false;
    }
    return true;
}

// The file of module into g_widePath and, as UTF-8, into out (kPathBytes);
// false when it has none or it is too long.
bool ModuleFileName(HMODULE module, char* out)
{
    const DWORD length = GetModuleFileNameW(module, g_widePath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    g_widePath[length] = L'\0';
    return ToUtf8(g_widePath, out, kPathBytes);
}

// "month/day/year hh:mm:ss" of a file time, in local time, to DOS precision.
bool FormatDosTime(const FILETIME& utc, char* out, size_t size)
{
    FILETIME local = {};
    WORD date = 0;
    WORD time = 0;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToDosDateTime(&local, &date, &time)) {
        return false;
    }
    snprintf(out, size, "%d/%d/%d %02d:%02d:%02d", (date >> 5) & 15, date & 31, (date >> 9) + 1980, time >> 11,
             (time >> 5) & 63, (time & 31) * 2);
    return true;
}

// The executable's path and name, and the report file beside it.
void FindReportPaths()
{
    if (!ModuleFileName(nullptr, g_exePath)) {
        g_exePath[0] = '\0';
        g_appName[0] = '\0';
        wcscpy(g_reportPath, L"ErrorLog.txt");
        return;
    }
    snprintf(g_appName, sizeof g_appName, "%s", FileNamePart(g_exePath));
    if (char* dot = strrchr(g_appName, '.'))
        *dot = '\0';
    const wchar_t* slash = wcsrchr(g_widePath, L'\\');
    const size_t folder = slash ? static_cast<size_t>(slash + 1 - g_widePath) : 0;
    wmemcpy(g_reportPath, g_widePath, folder);
    wcscpy(g_reportPath + folder, L"ErrorLog.txt");
}

// The path of the module whose allocation holds address into path
// (kPathBytes), or false.
bool ModulePathAt(uintptr_t address, char* path)
{
    MEMORY_BASIC_INFORMATION info = {};
    if (!VirtualQuery(reinterpret_cast<const void*>(address), &info, sizeof info) || !info.AllocationBase) {
        return false;
    }
    return ModuleFileName(static_cast<HMODULE>(info.AllocationBase), path);
}

void WriteFaultLines(HANDLE file, const EXCEPTION_RECORD& record, const CONTEXT& context, const char* where)
{
    uintptr_t address = reinterpret_cast<uintptr_t>(record.ExceptionAddress);
    const char* module = "Unknown";
    if (ModulePathAt(address, g_modulePath))
        module = FileNamePart(g_modulePath);
    WriteFormat(file, "%s caused %s in module %s at %04x:%016llx.\r\n", g_appName,
                CrashExceptionName(record.ExceptionCode), module, context.SegCs,
                static_cast<unsigned long long>(address));
    WriteFormat(file, "Exception handler called in %s.\r\n", where ? where : "");
}

void WriteSystemLines(HANDLE file)
{
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    char when[48] = "Unknown";
    FormatDosTime(now, when, sizeof when);
    WriteFormat(file, "Error occurred at %s.\r\n", when);

    wchar_t wideUser[257] = {};
    DWORD userSize = 257;
    char user[3 * 257] = {};
    if (!GetUserNameW(wideUser, &userSize) || !ToUtf8(wideUser, user, sizeof user) || !user[0])
        snprintf(user, sizeof user, "Unknown");
    WriteFormat(file, "%s, run by %s.\r\n", g_exePath[0] ? g_exePath : "Unknown", user);

    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    WriteFormat(file, "%lu processor(s), type %lu.\r\n", static_cast<unsigned long>(system.dwNumberOfProcessors),
                static_cast<unsigned long>(system.dwProcessorType));

    MEMORYSTATUS memory = {};
    memory.dwLength = sizeof memory;
    GlobalMemoryStatus(&memory);
    unsigned long long bytes = memory.dwTotalPhys;
    unsigned long long megabytes = (bytes + 0xFFFFF) >> 20;
    WriteFormat(file, "%llu MBytes physical memory.\r\n", megabytes);
}

void WriteAccessLine(HANDLE file, const EXCEPTION_RECORD& record)
{
    if (record.ExceptionCode != EXCEPTION_ACCESS_VIOLATION || record.NumberParameters < 2)
        return;
    ULONG_PTR kind = record.ExceptionInformation[0];
    // 8 is an attempt to run code from memory that may not be run.
    const char* what = kind == 0 ? "Read from" : kind == 8 ? "Execute at" : "Write to";
    WriteFormat(file, "%s location %016llx caused an access violation.\r\n", what,
                static_cast<unsigned long long>(record.ExceptionInformation[1]));
}

void WriteRegisters(HANDLE file, const CONTEXT& c)
{
    using U = unsigned long long;
    WriteText(file, "\r\nRegisters:\r\n");
    WriteFormat(file, "RAX=%016llx CS=%04x RIP=%016llx EFLGS=%08lx\r\n", U(c.Rax), c.SegCs, U(c.Rip),
                static_cast<unsigned long>(c.EFlags));
    WriteFormat(file, "RBX=%016llx SS=%04x RSP=%016llx RBP=%016llx\r\n", U(c.Rbx), c.SegSs, U(c.Rsp), U(c.Rbp));
    WriteFormat(file, "RCX=%016llx DS=%04x RSI=%016llx FS=%04x\r\n", U(c.Rcx), c.SegDs, U(c.Rsi), c.SegFs);
    WriteFormat(file, "RDX=%016llx ES=%04x RDI=%016llx GS=%04x\r\n", U(c.Rdx), c.SegEs, U(c.Rdi), c.SegGs);
    WriteFormat(file, "R8=%016llx R9=%016llx R10=%016llx R11=%016llx\r\n", U(c.R8), U(c.R9), U(c.R10), U(c.R11));
    WriteFormat(file, "R12=%016llx R13=%016llx R14=%016llx R15=%016llx\r\n", U(c.R12), U(c.R13), U(c.R14), U(c.R15));
}

void WriteCodeBytes(HANDLE file, uintptr_t address)
{
    char line[16 * 3 + 1] = {};
    for (int i = 0; i < 16; ++i) {
        unsigned char byte = 0;
        if (ReadMemory(address + i, &byte, 1)) {
            snprintf(line + 3 * i, 4, "%02x ", byte);
        } else {
            memcpy(line + 3 * i, "?? ", 4);
        }
    }
    WriteText(file, "Bytes at CS:RIP:\r\n");
    WriteText(file, line);
}

// The upper end of the stack that holds sp: the end of its committed region,
// which for a thread's stack is the stack's base; 0 if sp is not committed.
uintptr_t StackEnd(uintptr_t sp)
{
    MEMORY_BASIC_INFORMATION info = {};
    if (!VirtualQuery(reinterpret_cast<const void*>(sp), &info, sizeof info) || info.State != MEM_COMMIT) {
        return 0;
    }
    return reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
}

void WriteStackDump(HANDLE file, uintptr_t sp)
{
    WriteText(file, "\r\nStack dump:\r\n");
    uintptr_t end = StackEnd(sp);
    size_t bytes = end > sp ? end - sp : 0;
    if (bytes > kStackDumpMax)
        bytes = kStackDumpMax;
    size_t words = bytes / sizeof(uint32_t);
    if (end == 0 || !ReadMemory(sp, g_stack, words * sizeof(uint32_t))) {
        WriteText(file, "Exception encountered during stack dump.\r\n");
        return;
    }
    size_t used = 0;
    for (size_t i = 0; i < words; ++i) {
        if (i % 8 == 0) {
            used += snprintf(g_dump + used, sizeof g_dump - used,
                             "%016llx: ", static_cast<unsigned long long>(sp + i * sizeof(uint32_t)));
        }
        bool lineEnd = i % 8 == 7 || i + 1 == words;
        used += snprintf(g_dump + used, sizeof g_dump - used, "%08x%s", static_cast<unsigned>(g_stack[i]),
                         lineEnd ? "\r\n" : " ");
        if (used >= kDumpFlushAt) {
            WriteText(file, g_dump, used);
            used = 0;
        }
    }
    if (used)
        WriteText(file, g_dump, used);
}

// One module line; a base that does not hold a readable image header is skipped.
void WriteModuleLine(HANDLE file, uintptr_t base)
{
    if (!ModuleFileName(reinterpret_cast<HMODULE>(base), g_modulePath))
        return;
    IMAGE_DOS_HEADER dos = {};
    DWORD signature = 0;
    IMAGE_FILE_HEADER header = {};
    if (!ReadMemory(base, &dos, sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew <= 0 ||
        !ReadMemory(base + dos.e_lfanew, &signature, sizeof signature) || signature != IMAGE_NT_SIGNATURE ||
        !ReadMemory(base + dos.e_lfanew + sizeof signature, &header, sizeof header)) {
        return;
    }
    unsigned long size = 0;
    char date[64] = {};
    ScopedHandle image(CreateFileW(g_widePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (image.IsValid()) {
        DWORD fileSize = GetFileSize(image.Get(), nullptr);
        size = fileSize == INVALID_FILE_SIZE ? 0 : fileSize;
        FILETIME written = {};
        char when[48] = {};
        if (GetFileTime(image.Get(), nullptr, nullptr, &written) && FormatDosTime(written, when, sizeof when)) {
            snprintf(date, sizeof date, " - file date is %s", when);
        }
    }
    WriteFormat(file, "%s, loaded at 0x%016llx - %lu bytes - %08lx%s\r\n", g_modulePath,
                static_cast<unsigned long long>(base), size, static_cast<unsigned long>(header.TimeDateStamp), date);
}

// Walks the address space region by region and reports each image once, at
// its allocation base.
void WriteModuleList(HANDLE file)
{
    WriteText(file, "\r\n\tModule list: names, addresses, sizes, time stamps and file times:\r\n");
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    uintptr_t end = reinterpret_cast<uintptr_t>(system.lpMaximumApplicationAddress);
    uintptr_t lastBase = 0;
    uintptr_t address = 0;
    while (address < end) {
        MEMORY_BASIC_INFORMATION info = {};
        uintptr_t next = address + kRegionSkip;
        if (VirtualQuery(reinterpret_cast<const void*>(address), &info, sizeof info) && info.RegionSize != 0) {
            uintptr_t base = reinterpret_cast<uintptr_t>(info.AllocationBase);
            if (info.State == MEM_COMMIT && base > lastBase) {
                lastBase = base;
                WriteModuleLine(file, base);
            }
            next = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
        }
        if (next <= address)
            break;
        address = next;
    }
}

LONG WINAPI GuardFilter(EXCEPTION_POINTERS* fault)
{
    // Only the guarded thread's faults belong to the guarded block.
    if (GetCurrentThreadId() != g_guardThread)
        return EXCEPTION_CONTINUE_SEARCH;
    return WriteCrashReport(fault, g_guardWhere);
}

}  // namespace

const char* CrashExceptionName(DWORD code)
{
    for (const ExceptionName& name : kExceptionNames) {
        if (name.code == code)
            return name.text;
    }
    return "Unknown exception type";
}

void WriteCrashReportTo(HANDLE file, const EXCEPTION_POINTERS* fault, const char* where)
{
    FindReportPaths();
    SetFilePointer(file, 0, nullptr, FILE_END);
    WriteText(file, "\r\n\r\n\r\n\r\n");
    if (!fault || !fault->ExceptionRecord || !fault->ContextRecord)
        return;
    const EXCEPTION_RECORD& record = *fault->ExceptionRecord;
    const CONTEXT& context = *fault->ContextRecord;
    WriteFaultLines(file, record, context, where);
    WriteSystemLines(file);
    WriteAccessLine(file, record);
    WriteRegisters(file, context);
    WriteCodeBytes(file, reinterpret_cast<uintptr_t>(record.ExceptionAddress));
    WriteStackDump(file, context.Rsp);
    WriteModuleList(file);
}

LONG WriteCrashReport(EXCEPTION_POINTERS* fault, const char* where)
{
    // Set before anything is written: a fault inside the report ends here too.
    if (InterlockedExchange(&g_reported, 1) != 0)
        return EXCEPTION_CONTINUE_SEARCH;
    FindReportPaths();
    ScopedHandle file(CreateFileW(g_reportPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
    if (!file.IsValid()) {
        OutputDebugStringA("Error creating exception report");
        return EXCEPTION_CONTINUE_SEARCH;
    }
    WriteCrashReportTo(file.Get(), fault, where);
    return EXCEPTION_CONTINUE_SEARCH;
}

int RunGuarded(int (*body)(void* context), void* context, const char* where)
{
    g_guardWhere = where ? where : "Main Thread";
    g_guardThread = GetCurrentThreadId();
    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(GuardFilter);
    int result = body ? body(context) : 0;
    SetUnhandledExceptionFilter(previous);
    g_guardThread = 0;
    return result;
}
