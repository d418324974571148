// CCbtRespondEngine: the program's side of the engine library: auto-respond's
// engine (respond/RespondEngine.h) as DervaneHookCBT's two calls. The program
// links this; the library itself knows nothing of it.
#pragma once

#include "respond/RespondEngine.h"

class CCbtRespondEngine : public IRespondEngine {
public:
    void Start(HWND soundWindow, const std::string& folder) override;
    void Stop() override;
    void RulesChanged() override;
};
