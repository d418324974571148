#include "framework/MessageBoxes.h"

namespace {

int Show(HWND owner, const char* text, const char* caption, UINT style)
{
    return MessageBoxA(owner, text ? text : "", caption, style);
}

}  // namespace

int ShowErrorBox(HWND owner, const char* text)
{
    return Show(owner, text, "Error", MB_OK | MB_ICONEXCLAMATION);
}

int ShowOptionsErrorBox(HWND owner, const char* text)
{
    return Show(owner, text, "Options Error", MB_OK | MB_ICONEXCLAMATION);
}

int AskConfirm(HWND owner, const char* text, UINT style)
{
    return Show(owner, text, "Confirm", style);
}

int AskConfirmSave(HWND owner, const char* text, UINT style)
{
    return Show(owner, text, "Confirm Save", style);
}

int AskQuestion(HWND owner, const char* text, UINT style)
{
    return Show(owner, text, "Question", style);
}

int ShowNotice(HWND owner, const char* text)
{
    return Show(owner, text, "Notice", MB_OK | MB_ICONINFORMATION);
}
