// The crash report, written in this process from made-up faults, and by
// copies of crash_child.exe that fault for real inside the guarded entry.
#include "common/CrashReport.h"
#include "tests/harness/TextLines.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

namespace {

constexpr DWORD kChildTimeoutMs = 30000;

std::string ExeFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\') + 1);
}

// A folder of its own under the temporary folder, removed with the files
// the tests put there.
class CTempFolder {
public:
    CTempFolder()
    {
        static int count = 0;
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + "dervane-crash-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++count);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~CTempFolder()
    {
        for (const char* name : {"crash_child.exe", "ErrorLog.txt", "report.txt"}) {
            DeleteFileA(File(name).c_str());
        }
        RemoveDirectoryA(path_.c_str());
    }
    const std::string& Path() const { return path_; }
    std::string File(const char* name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

bool WriteWholeFile(const std::string& path, const std::string& text)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = fwrite(text.data(), 1, text.size(), file) == text.size();
    return fclose(file) == 0 && ok;
}

// Lines of a text whose every line ends with CR LF; a bare LF fails the test.
std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "text does not end with CR LF";
            break;
        }
        std::string line = text.substr(start, end - start);
        EXPECT_EQ(line.find('\n'), std::string::npos) << "bare line feed in: " << line;
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

unsigned long long Hex(const std::string& text)
{
    return std::stoull(text, nullptr, 16);
}

// What a report says, taken apart; the Expect functions check each part's form.
struct Report {
    std::string firstLine;
    std::vector<std::string> systemLines;  // from "Exception handler ..." to before "Registers:"
    std::vector<std::string> registers;
    std::string codeBytes;
    std::vector<std::string> stack;
    std::vector<std::string> modules;
};

// Splits the lines after a report's four empty lines.
Report TakeApart(const std::vector<std::string>& lines, size_t first)
{
    Report report;
    size_t i = first;
    if (i < lines.size())
        report.firstLine = lines[i++];
    while (i < lines.size() && lines[i] != "Registers:")
        report.systemLines.push_back(lines[i++]);
    if (!report.systemLines.empty() && report.systemLines.back().empty()) {
        report.systemLines.pop_back();
    }
    ++i;
    while (i < lines.size() && lines[i] != "Bytes at CS:RIP:")
        report.registers.push_back(lines[i++]);
    ++i;
    if (i < lines.size())
        report.codeBytes = lines[i++];
    EXPECT_TRUE(i < lines.size() && lines[i] == "Stack dump:");
    ++i;
    while (i < lines.size() && !lines[i].empty())
        report.stack.push_back(lines[i++]);
    ++i;
    EXPECT_TRUE(i < lines.size() && lines[i] == "\tModule list: names, addresses, sizes, time stamps and file times:");
    for (++i; i < lines.size(); ++i)
        report.modules.push_back(lines[i]);
    return report;
}

void ExpectSystemLines(const Report& report, const std::string& exePath, const char* where)
{
    ASSERT_GE(report.systemLines.size(), 5u);
    EXPECT_EQ(report.systemLines[0], std::string("Exception handler called in ") + where + ".");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(report.systemLines[1], m,
                                 std::regex(R"(Error occurred at (\d{1,2})/(\d{1,2})/(\d{4}) )"
                                            R"((\d\d):(\d\d):(\d\d)\.)")))
        << report.systemLines[1];
    EXPECT_GE(std::stoi(m[1]), 1);
    EXPECT_LE(std::stoi(m[1]), 12);
    EXPECT_GE(std::stoi(m[2]), 1);
    EXPECT_LE(std::stoi(m[2]), 31);
    EXPECT_LT(std::stoi(m[4]), 24);
    EXPECT_EQ(std::stoi(m[6]) % 2, 0) << "seconds come in steps of two";
    ASSERT_TRUE(std::regex_match(report.systemLines[2], m, std::regex(R"((.+), run by (.+)\.)")));
    EXPECT_EQ(_stricmp(m[1].str().c_str(), exePath.c_str()), 0) << m[1];
    EXPECT_TRUE(std::regex_match(report.systemLines[3], std::regex(R"(\d+ processor\(s\), type \d+\.)")));
    ASSERT_TRUE(std::regex_match(report.systemLines[4], m, std::regex(R"((\d+) MBytes physical memory\.)")));
    EXPECT_GT(std::stoull(m[1]), 0u);
}

// The register block; answers CS, RIP and RSP.
void ExpectRegisters(const Report& report, unsigned* cs, unsigned long long* rip, unsigned long long* rsp)
{
    static const char* const kForms[] = {
        R"(RAX=([0-9a-f]{16}) CS=([0-9a-f]{4}) RIP=([0-9a-f]{16}) EFLGS=[0-9a-f]{8})",
        R"(RBX=[0-9a-f]{16} SS=[0-9a-f]{4} RSP=([0-9a-f]{16}) RBP=[0-9a-f]{16})",
        R"(RCX=[0-9a-f]{16} DS=[0-9a-f]{4} RSI=[0-9a-f]{16} FS=[0-9a-f]{4})",
        R"(RDX=[0-9a-f]{16} ES=[0-9a-f]{4} RDI=[0-9a-f]{16} GS=[0-9a-f]{4})",
        R"(R8=[0-9a-f]{16} R9=[0-9a-f]{16} R10=[0-9a-f]{16} R11=[0-9a-f]{16})",
        R"(R12=[0-9a-f]{16} R13=[0-9a-f]{16} R14=[0-9a-f]{16} R15=[0-9a-f]{16})",
    };
    ASSERT_EQ(report.registers.size(), 6u);
    std::smatch m;
    for (size_t i = 0; i < 6; ++i) {
        ASSERT_TRUE(std::regex_match(report.registers[i], m, std::regex(kForms[i]))) << report.registers[i];
        if (i == 0) {
            *cs = static_cast<unsigned>(Hex(m[2]));
            *rip = Hex(m[3]);
        }
        if (i == 1)
            *rsp = Hex(m[1]);
    }
}

// Stack lines: addresses from RSP on, 32 bytes apart, eight words to a line
// but the last. Answers the number of words.
size_t ExpectStack(const Report& report, unsigned long long rsp)
{
    const std::regex form(R"(([0-9a-f]{16}): [0-9a-f]{8}( [0-9a-f]{8}){0,7})");
    size_t words = 0;
    for (size_t i = 0; i < report.stack.size(); ++i) {
        const std::string& line = report.stack[i];
        std::smatch m;
        EXPECT_TRUE(std::regex_match(line, m, form)) << line;
        if (m.empty())
            continue;
        EXPECT_EQ(Hex(m[1]), rsp + 32 * i);
        size_t lineWords = (line.size() - 17) / 9;
        if (i + 1 < report.stack.size()) {
            EXPECT_EQ(lineWords, 8u) << line;
        }
        words += lineWords;
    }
    EXPECT_LE(words, 8192u / 4);
    return words;
}

struct Module {
    std::string path;
    unsigned long long base;
    unsigned long long size;
};

std::vector<Module> ExpectModules(const Report& report)
{
    const std::regex form(R"((.+), loaded at 0x([0-9a-f]{16}) - (\d+) bytes - [0-9a-f]{8})"
                          R"(( - file date is \d{1,2}/\d{1,2}/\d{4} \d\d:\d\d:\d\d)?)");
    std::vector<Module> modules;
    for (const std::string& line : report.modules) {
        std::smatch m;
        EXPECT_TRUE(std::regex_match(line, m, form)) << line;
        if (m.empty())
            continue;
        Module module = {m[1], Hex(m[2]), std::stoull(m[3])};
        if (!modules.empty()) {
            EXPECT_GT(module.base, modules.back().base) << "each module once, in order";
        }
        modules.push_back(module);
    }
    return modules;
}

const Module* FindModule(const std::vector<Module>& modules, const std::string& fileName)
{
    for (const Module& module : modules) {
        std::string name = module.path.substr(module.path.rfind('\\') + 1);
        if (_stricmp(name.c_str(), fileName.c_str()) == 0)
            return &module;
    }
    return nullptr;
}

unsigned long long FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Runs a copy of crash_child.exe in its own folder; the report lands beside it.
class CrashChildTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Under Wine the debugger that follows an unhandled fault would wait on a
        // dialog; this run's prefix is told to print and end instead.
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\WineDbg", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr) == ERROR_SUCCESS) {
            DWORD off = 0;
            RegSetValueExA(key, "ShowCrashDialog", 0, REG_DWORD, reinterpret_cast<BYTE*>(&off), 4);
            RegCloseKey(key);
        }
        child_ = folder_.File("crash_child.exe");
        ASSERT_TRUE(CopyFileA((ExeFolder() + "crash_child.exe").c_str(), child_.c_str(), FALSE));
    }

    // Runs the child with mode and answers its exit code; ends it if it hangs.
    DWORD Run(const char* mode)
    {
        std::string commandLine = "\"" + child_ + "\" " + mode;
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                 OPEN_EXISTING, 0, nullptr);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
        PROCESS_INFORMATION process = {};
        BOOL started = CreateProcessA(child_.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                      folder_.Path().c_str(), &startup, &process);
        if (nul != INVALID_HANDLE_VALUE)
            CloseHandle(nul);
        EXPECT_TRUE(started) << "cannot start " << commandLine;
        if (!started)
            return 0;
        DWORD code = 0;
        if (WaitForSingleObject(process.hProcess, kChildTimeoutMs) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "crash_child " << mode << " did not end";
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, kChildTimeoutMs);
        }
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return code;
    }

    // The report after the log's earlier content; the test fails without one.
    Report ReadReport(const std::string& earlier)
    {
        std::string text;
        EXPECT_TRUE(ReadWholeFile(folder_.File("ErrorLog.txt"), &text));
        EXPECT_EQ(text.compare(0, earlier.size(), earlier), 0) << "earlier content lost";
        std::string after = text.substr(std::min(earlier.size(), text.size()));
        EXPECT_EQ(after.compare(0, 8, "\r\n\r\n\r\n\r\n"), 0) << "four empty lines first";
        lines_ = SplitLines(after);
        return TakeApart(lines_, 4);
    }

    CTempFolder folder_;
    std::string child_;
    std::vector<std::string> lines_;
};

TEST_F(CrashChildTest, AWriteThroughNullIsReportedAfterTheEarlierLog)
{
    const std::string earlier = "Wed Jan 02 02:03:55 1980> WARNING: from before\r\n";
    ASSERT_TRUE(WriteWholeFile(folder_.File("ErrorLog.txt"), earlier));
    EXPECT_EQ(Run("write-null"), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    Report report = ReadReport(earlier);

    std::smatch m;
    ASSERT_TRUE(std::regex_match(report.firstLine, m,
                                 std::regex(R"(crash_child caused an Access Violation in module )"
                                            R"(crash_child\.exe at ([0-9a-f]{4}):([0-9a-f]{16})\.)")))
        << report.firstLine;
    ExpectSystemLines(report, child_, "Main Thread");
    ASSERT_EQ(report.systemLines.size(), 6u);
    EXPECT_EQ(report.systemLines[5], "Write to location 0000000000000000 caused an access violation.");

    unsigned cs = 0;
    unsigned long long rip = 0, rsp = 0;
    ExpectRegisters(report, &cs, &rip, &rsp);
    EXPECT_EQ(cs, Hex(m[1]));
    EXPECT_EQ(rip, Hex(m[2]));
    EXPECT_TRUE(std::regex_match(report.codeBytes, std::regex("([0-9a-f]{2} ){16}"))) << report.codeBytes;
    EXPECT_GT(ExpectStack(report, rsp), 0u);

    std::vector<Module> modules = ExpectModules(report);
    const Module* exe = FindModule(modules, "crash_child.exe");
    ASSERT_NE(exe, nullptr);
    EXPECT_EQ(_stricmp(exe->path.c_str(), child_.c_str()), 0);
    EXPECT_EQ(exe->size, FileSize(child_));
    EXPECT_GT(rip, exe->base);
    EXPECT_NE(FindModule(modules, "ntdll.dll"), nullptr);
    EXPECT_NE(FindModule(modules, "kernel32.dll"), nullptr);
}

TEST_F(CrashChildTest, CodeOutsideEveryModuleIsUnknownAndUnreadable)
{
    Run("no-module");
    Report report = ReadReport("");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(report.firstLine, m,
                                 std::regex(R"(crash_child caused an Access Violation in module )"
                                            R"(Unknown at [0-9a-f]{4}:([0-9a-f]{16})\.)")))
        << report.firstLine;
    std::string unreadable;
    for (int i = 0; i < 16; ++i)
        unreadable += "?? ";
    EXPECT_EQ(report.codeBytes, unreadable);
    unsigned cs = 0;
    unsigned long long rip = 0, rsp = 0;
    ExpectRegisters(report, &cs, &rip, &rsp);
    EXPECT_EQ(rip, Hex(m[1]));
}

TEST_F(CrashChildTest, OnlyTheFirstFaultIsReported)
{
    EXPECT_NE(Run("twice"), 3u) << "the second fault was not raised";
    std::string text;
    ASSERT_TRUE(ReadWholeFile(folder_.File("ErrorLog.txt"), &text));
    size_t reports = 0;
    for (size_t at = text.find("\r\ncrash_child caused "); at != std::string::npos;
         at = text.find("\r\ncrash_child caused ", at + 1)) {
        ++reports;
    }
    EXPECT_EQ(reports, 1u);
    EXPECT_EQ(text.find("0000000000000008 caused"), std::string::npos);
    EXPECT_NE(text.find("Write to location 0000000000000000"), std::string::npos);
}

TEST_F(CrashChildTest, WithoutAFaultTheGuardAnswersTheBodysResultAndWritesNothing)
{
    EXPECT_EQ(Run("none"), 7u);
    EXPECT_EQ(GetFileAttributesA(folder_.File("ErrorLog.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

// A made-up fault written in this process, with a stack of exactly 100 bytes
// and an instruction address in memory that cannot be read.
class CrashReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        stack_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, kStackSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        code_ = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_NOACCESS);
        ASSERT_NE(stack_, nullptr);
        ASSERT_NE(code_, nullptr);
        uint32_t* words = reinterpret_cast<uint32_t*>(stack_ + kStackSize - 100);
        for (uint32_t i = 0; i < 25; ++i)
            words[i] = 0xA0000000u + i;

        memset(&record_, 0, sizeof record_);
        memset(&context_, 0, sizeof context_);
        record_.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
        record_.ExceptionAddress = code_;
        record_.NumberParameters = 2;
        record_.ExceptionInformation[0] = 0;
        record_.ExceptionInformation[1] = 0x1234;
        context_.SegCs = 0x33;
        context_.Rip = reinterpret_cast<DWORD64>(code_);
        context_.Rsp = reinterpret_cast<DWORD64>(words);
        context_.Rax = 0x1111111111111111ull;
        context_.R15 = 0xFEDCBA9876543210ull;
        context_.EFlags = 0x246;
        fault_.ExceptionRecord = &record_;
        fault_.ContextRecord = &context_;
    }
    void TearDown() override
    {
        if (stack_)
            VirtualFree(stack_, 0, MEM_RELEASE);
        if (code_)
            VirtualFree(code_, 0, MEM_RELEASE);
    }

    std::vector<std::string> Write(const std::string& earlier)
    {
        std::string path = folder_.File("report.txt");
        EXPECT_TRUE(WriteWholeFile(path, earlier));
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        WriteCrashReportTo(file, &fault_, "Test Thread");
        CloseHandle(file);
        std::string text;
        EXPECT_TRUE(ReadWholeFile(path, &text));
        EXPECT_EQ(text.compare(0, earlier.size() + 8, earlier + "\r\n\r\n\r\n\r\n"), 0);
        return SplitLines(text.substr(earlier.size()));
    }

    static constexpr size_t kStackSize = 65536;
    CTempFolder folder_;
    uint8_t* stack_ = nullptr;
    void* code_ = nullptr;
    EXCEPTION_RECORD record_;
    CONTEXT context_;
    EXCEPTION_POINTERS fault_ = {};
};

TEST_F(CrashReportTest, AHundredByteStackIsTwentyFiveWordsOnFourLines)
{
    Report report = TakeApart(Write("kept\r\n"), 4);
    unsigned long long rsp = context_.Rsp;
    EXPECT_EQ(ExpectStack(report, rsp), 25u);
    ASSERT_EQ(report.stack.size(), 4u);
    char expected[64] = {};
    snprintf(expected, sizeof expected, "%016llx: a0000018", rsp + 96);
    EXPECT_EQ(report.stack[3], expected);
    snprintf(expected, sizeof expected, "%016llx: a0000000 a0000001", rsp);
    EXPECT_EQ(report.stack[0].compare(0, strlen(expected), expected), 0) << report.stack[0];
}

TEST_F(CrashReportTest, TheRegistersAndTheFaultAreWrittenAsGiven)
{
    std::vector<std::string> lines = Write("");
    Report report = TakeApart(lines, 4);
    char address[17] = {};
    snprintf(address, sizeof address, "%016llx", static_cast<unsigned long long>(context_.Rip));
    EXPECT_EQ(report.firstLine,
              std::string("crash_tests caused an Access Violation in module Unknown at 0033:") + address + ".");
    ExpectSystemLines(report, ExeFolder() + "crash_tests.exe", "Test Thread");
    ASSERT_EQ(report.systemLines.size(), 6u);
    EXPECT_EQ(report.systemLines[5], "Read from location 0000000000001234 caused an access violation.");
    ASSERT_EQ(report.registers.size(), 6u);
    EXPECT_EQ(report.registers[0], std::string("RAX=1111111111111111 CS=0033 RIP=") + address + " EFLGS=00000246");
    EXPECT_EQ(report.registers[5],
              "R12=0000000000000000 R13=0000000000000000 R14=0000000000000000 R15=fedcba9876543210");
    std::string unreadable;
    for (int i = 0; i < 16; ++i)
        unreadable += "?? ";
    EXPECT_EQ(report.codeBytes, unreadable);
    std::vector<Module> modules = ExpectModules(report);
    EXPECT_NE(FindModule(modules, "crash_tests.exe"), nullptr);
}

TEST_F(CrashReportTest, OtherCodesHaveTheirNamesAndNoAccessLine)
{
    record_.ExceptionCode = EXCEPTION_INT_DIVIDE_BY_ZERO;
    record_.NumberParameters = 0;
    Report report = TakeApart(Write(""), 4);
    EXPECT_NE(report.firstLine.find(" caused an Integer Divide by Zero in module "), std::string::npos)
        << report.firstLine;
    EXPECT_EQ(report.systemLines.size(), 5u);
    EXPECT_STREQ(CrashExceptionName(0xC000008C), "a Array Bounds Exceeded");
    EXPECT_STREQ(CrashExceptionName(0xE06D7363), "a Microsoft C++ Exception");
    EXPECT_STREQ(CrashExceptionName(0xC0000006), "an In Page Error");
    EXPECT_STREQ(CrashExceptionName(0x12345678), "Unknown exception type");
    EXPECT_STREQ(CrashExceptionName(0), "Unknown exception type");
}

TEST_F(CrashReportTest, AnUnreadableStackEndsTheDumpAndTheModulesFollow)
{
    context_.Rsp = reinterpret_cast<DWORD64>(code_);
    std::vector<std::string> lines = Write("");
    size_t at = 0;
    while (at < lines.size() && lines[at] != "Stack dump:")
        ++at;
    ASSERT_LT(at + 3, lines.size());
    EXPECT_EQ(lines[at + 1], "Exception encountered during stack dump.");
    EXPECT_EQ(lines[at + 2], "");
    EXPECT_EQ(lines[at + 3], "\tModule list: names, addresses, sizes, time stamps and file times:");
    EXPECT_GT(lines.size(), at + 4);
}

}  // namespace
