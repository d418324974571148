#include "tray/TrayIconEntry.h"

#include "common/Utf8.h"

namespace {
struct CommandTexts {
    const char* listed;
    const char* label;
};

const CommandTexts kCommandTexts[kTraySystemCommandCount] = {
    {"Stand By (Sleep)", "Stand By (Sleep)"},
    {"Shut Down", "Shut Down"},
    {"Restart", "Restart"},
    {"Log Off", "Log Off"},
    {"Remove From Tray", "Remove from tray"},
    {"Activate Screensaver", "Activate Screensaver"},
    {"Toggle \"Hide Icons\"", "Toggle \"Hide Icons\""},
};

struct ErrorText {
    int code;
    const char* text;
};

const ErrorText kShellExecuteErrors[] = {
    {0, "Out of memory or resources"},
    {2, "File not found"},
    {3, "Path not found"},
    {5, "Access denied"},
    {8, "Out of memory"},
    {11, "Bad format"},
    {26, "Share"},
    {27, "File association incomplete"},
    {28, "DDE timeout"},
    {29, "DDE failure"},
    {30, "DDE busy"},
    {31, "No file association"},
    {32, "DLL not found"},
};
}  // namespace

const char* SystemCommandListText(int command)
{
    return command >= 0 && command < kTraySystemCommandCount ? kCommandTexts[command].listed : nullptr;
}

const char* SystemCommandLabel(int command)
{
    return command >= 0 && command < kTraySystemCommandCount ? kCommandTexts[command].label : nullptr;
}

const char* ShellExecuteErrorText(int code)
{
    for (const ErrorText& e : kShellExecuteErrors) {
        if (e.code == code)
            return e.text;
    }
    return "Unknown error";
}

std::string CutText(const std::string& text, size_t chars)
{
    return text.substr(0, Utf16PrefixLength(text.data(), text.size(), chars));
}
