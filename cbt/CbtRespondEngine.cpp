#include "cbt/CbtRespondEngine.h"

#include "cbt/DervaneHookCBT.h"

#include <vector>

void CCbtRespondEngine::Start(HWND soundWindow, const std::string& folder)
{
    // The library's call takes a writable text; it keeps a copy of its own.
    std::vector<char> text(folder.begin(), folder.end());
    text.push_back('\0');
    HOOKCBT_AttachDLL(soundWindow, text.data());
}

void CCbtRespondEngine::Stop()
{
    HOOKCBT_AttachDLL(nullptr, nullptr);
}

void CCbtRespondEngine::RulesChanged()
{
    HOOKCBT_RespondListUpdated();
}
