// The program's message boxes, with the system's captions. Failures of what
// the user asked for carry the warning icon and an OK button; questions take
// their buttons and icon as the caller's style (MB_YESNO | MB_ICONQUESTION
// unless told otherwise). Each answers the button pressed (IDOK, IDYES, ...),
// or 0 when the box could not be shown.
#pragma once

#include <windows.h>

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
