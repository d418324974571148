// The auto-respond rules in memory: a rule names windows by their title and
// text and lists the actions to perform on such a window, each after its
// delay. Window-free.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// How a rule's text is compared with a window's; the words of the editor's lists.
enum MatchKind : int32_t {
    kMatchExactly = 0,  // "MATCHING EXACTLY"
    kMatchStartingWith = 1,  // "STARTING WITH"
    kMatchEndingWith = 2,  // "ENDING WITH"
    kMatchContaining = 3,  // "CONTAINING"
    kMatchKindCount = 4,
};

enum ActionKind : int32_t {
    kActionNone = 0,  // "[Select an action]": never stored by the editor
    kActionPushButton = 1,
    kActionSelectMenu = 2,
    kActionMinimize = 3,
    kActionMaximize = 4,
    kActionClose = 5,
    kActionPlaySound = 6,
    kActionKindCount = 7,
};

struct RespondAction {
    ActionKind kind = kActionNone;
    std::string label;  // the button's or menu item's label; the sound file for "PLAY SOUND"
    MatchKind labelMatch = kMatchExactly;
    int32_t delay = 1000;  // milliseconds before the action
};

struct RespondEntry {
    std::string name;  // ready-made rules only: the name the editor offers them by
    std::string windowTitle;  // empty: the title is not compared
    MatchKind titleMatch = kMatchExactly;
    std::string windowText;  // empty: the text is not compared
    MatchKind textMatch = kMatchContaining;
    bool oncePerWindow = false;
    std::vector<RespondAction> actions;
};

// The words of the editor's lists; nullptr outside them.
const char* MatchKindText(int kind);
const char* ActionKindText(int kind);
