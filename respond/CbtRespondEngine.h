// CCbtRespondEngine: the engine library DervaneHookCBT, which answers other
// programs' windows by the rules of Respond.txt, through its two calls.
#pragma once

#include "respond/RespondEngine.h"

class CCbtRespondEngine : public IRespondEngine {
public:
    void Start(HWND mainWindow, const std::string& folder) override;
    void Stop() override;
    void RulesChanged() override;
};
