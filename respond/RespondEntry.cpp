#include "respond/RespondEntry.h"

namespace {
const char* const kMatchWords[kMatchKindCount] = {"MATCHING EXACTLY", "STARTING WITH", "ENDING WITH", "CONTAINING"};
const char* const kActionWords[kActionKindCount] = {
    "[Select an action]", "PUSH BUTTON",  "SELECT MENU", "MINIMIZE WINDOW",
    "MAXIMIZE WINDOW",    "CLOSE WINDOW", "PLAY SOUND",
};
}  // namespace

const char* MatchKindText(int kind)
{
    return kind >= 0 && kind < kMatchKindCount ? kMatchWords[kind] : nullptr;
}

const char* ActionKindText(int kind)
{
    return kind >= 0 && kind < kActionKindCount ? kActionWords[kind] : nullptr;
}
