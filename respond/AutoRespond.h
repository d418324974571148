// IAutoRespond: what the Respond page edits of auto-respond: the rules and
// the feature's switch. Each change is written at once (Respond.txt, the
// "Property Respond Enabled" value) and the engine told once the file stands.
#pragma once

#include "common/KeyedFileRewrite.h"
#include "respond/RespondRuleList.h"

class IAutoRespond {
public:
    virtual ~IAutoRespond() = default;

    virtual const CRespondRuleList& Rules() const = 0;
    // The feature's own switch; the engine runs while it and the program's
    // general switch are on.
    virtual bool Enabled() const = 0;

    // Each changes the list, writes Respond.txt and then tells the engine;
    // a failed write keeps the change for the next save.
    virtual ListSaveResult AddRule(RespondEntry rule) = 0;
    // The old rule goes and the edited one is appended.
    virtual ListSaveResult ReplaceRule(int index, RespondEntry edited) = 0;
    virtual ListSaveResult RemoveRule(int index) = 0;

    // Writes the switch and a changed list, then starts or stops the engine
    // when the switch was turned.
    virtual ListSaveResult Apply(bool enabled) = 0;
    // Writes the switch and a changed list (the page is left).
    virtual ListSaveResult Save() = 0;
    // The engine takes the rules from the file again (the page is shown).
    virtual void RulesShown() = 0;
};
