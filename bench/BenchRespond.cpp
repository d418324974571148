// The auto-respond engine's cost: how long a matching window waits from being
// shown to its button being pressed (the rule's delay 0), and what the
// engine's window hook adds to a program that creates 1,000 windows, against
// the same program with the engine stopped, measured alternately in one run.
// The target is RespondTarget.exe beside it. Prints "name: value" lines and
// the ratio; bench/respond.sh runs it.
#include "bench/BenchTiming.h"
#include "cbt/DervaneHookCBT.h"
#include "respond/RespondRuleList.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
constexpr int kLatencyRounds = 10;
constexpr int kCreateRounds = 5;
constexpr int kWindows = 1000;

std::string Folder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\'));
}

// Runs the command and answers what it printed (empty when it failed).
std::string Output(const std::string& commandLine)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return {};
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    std::string command = commandLine;
    const BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                        &process);
    CloseHandle(writeEnd);
    std::string output;
    if (started) {
        char buffer[256];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got)
            output.append(buffer, got);
        WaitForSingleObject(process.hProcess, 30000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    return output;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

// A program folder of the bench's own for Respond.txt and Respond.log.
std::string ProgramFolder()
{
    char temporary[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temporary);
    const std::string folder = std::string(temporary) + "DervaneBenchRespond";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}
}  // namespace

int main()
{
    const std::string target = "\"" + Folder() + "\\RespondTarget.exe\" ";
    const std::string folder = ProgramFolder();
    CRespondRuleList rules;
    RespondEntry rule;
    rule.windowTitle = "Latency Target";
    RespondAction push;
    push.kind = kActionPushButton;
    push.label = "Go";
    push.delay = 0;
    rule.actions.push_back(push);
    rules.Add(rule);
    if (rules.Save(folder + "\\Respond.txt") != ListSaveResult::kWritten) {
        printf("cannot write Respond.txt\n");
        return 1;
    }
    HWND own = CreateWindowExA(0, "STATIC", "Bench", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    std::vector<char> folderText(folder.begin(), folder.end());
    folderText.push_back('\0');

    HOOKCBT_AttachDLL(own, folderText.data());
    std::vector<double> latencies;
    for (int i = 0; i < kLatencyRounds; i++) {
        const std::string printed = Output(target + "latency \"Latency Target\"");
        if (!printed.empty())
            latencies.push_back(atof(printed.c_str()));
    }
    printf("answered: %d of %d\n", static_cast<int>(latencies.size()), kLatencyRounds);
    printf("shown_to_pressed_ms: %.1f (median; goal <= 100)\n", Median(latencies));
    fflush(stdout);

    std::vector<double> stopped, running;
    const std::string create = target + "create " + std::to_string(kWindows);
    for (int i = 0; i < kCreateRounds; i++) {
        HOOKCBT_AttachDLL(nullptr, nullptr);
        stopped.push_back(atof(Output(create).c_str()));
        HOOKCBT_AttachDLL(own, folderText.data());
        running.push_back(atof(Output(create).c_str()));
    }
    HOOKCBT_AttachDLL(nullptr, nullptr);
    const double off = Median(stopped), on = Median(running);
    Report("create_1000_engine_stopped", off);
    Report("create_1000_engine_running", on);
    printf("ratio: %.3f (running / stopped; goal <= 1.10)\n", off > 0 ? on / off : -1);
    DestroyWindow(own);
    return 0;
}
