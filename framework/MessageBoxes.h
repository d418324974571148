// The program's message boxes, with the system's captions. Failures of what
// the user asked for carry the warning icon and an OK button; questions take
// their buttons and icon as the caller's style (MB_YESNO | MB_ICONQUESTION
// unless told otherwise). Each answers the button pressed (IDOK, IDYES, ...),
// or 0 when the box could not be shown.
#pragma once

#include <windows.h>

#include <string>

const UINT kDefaultQuestionStyle = MB_YESNO | MB_ICONQUESTION;

// "Error".
int ShowErrorBox(HWND owner, const char* text);
// "Options Error": the start-with-Windows entry could not be changed.
int ShowOptionsErrorBox(HWND owner, const char* text);
// "Confirm", e.g. before deleting.
int AskConfirm(HWND owner, const char* text, UINT style = kDefaultQuestionStyle);
// "Confirm Save", e.g. before writing a layout.
int AskConfirmSave(HWND owner, const char* text, UINT style = kDefaultQuestionStyle);
// "Question".
int AskQuestion(HWND owner, const char* text, UINT style = kDefaultQuestionStyle);
// "Notice", with the information icon.
int ShowNotice(HWND owner, const char* text);

// How a feature, a page or a dialog shows its message boxes: through a
// function the tests can replace, MessageBoxA unless told otherwise.
using MessageBoxFn = int (*)(HWND owner, const char* text, const char* caption, UINT type);

inline int SystemMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    return MessageBoxA(owner, text, caption, type);
}

// A list file that could not be written when the user applied a change: the
// change stays and is written at the next save or at exit; the log says why.
inline void TellListNotWritten(HWND owner, MessageBoxFn messageBox, const char* fileName)
{
    const std::string text = std::string("Cannot write ") + fileName +
        ". Your change is kept and written at the next save or when Dervane exits; the error log says why.";
    messageBox(owner, text.c_str(), "Dervane", MB_OK | MB_ICONWARNING);
}
