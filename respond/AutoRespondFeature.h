// CAutoRespondFeature: auto-respond in the program: the rules of Respond.txt,
// the feature's switch ("Property Respond Enabled") and the engine, which
// runs while that switch and the program's general switch are both on. Made
// at start and kept to exit whether or not the property sheet is ever made;
// the Respond page edits it through IAutoRespond. Its message-only window
// takes the sounds the engine hands over and plays them.
#pragma once

#include "common/Feature.h"
#include "framework/Window.h"
#include "respond/AutoRespond.h"
#include "respond/RespondEngine.h"

#include <memory>
#include <string>

class IFeatureHost;

class CAutoRespondFeature : public IFeature, public IAutoRespond, private CWindow {
public:
    CAutoRespondFeature(IFeatureHost& host, std::unique_ptr<IRespondEngine> engine);
    ~CAutoRespondFeature() override;

    // The rules, the switch, the engine when both switches are on; the
    // engine is told of the rules in any case.
    void Start() override;
    // The engine stops; a changed list is written.
    void Stop() override;
    void FeaturesSwitched(bool enabled) override;

    const CRespondRuleList& Rules() const override { return m_rules; }
    bool Enabled() const override { return m_enabled; }
    ListSaveResult AddRule(RespondEntry rule) override;
    ListSaveResult ReplaceRule(int index, RespondEntry edited) override;
    ListSaveResult RemoveRule(int index) override;
    ListSaveResult Apply(bool enabled) override;
    ListSaveResult Save() override;
    void RulesShown() override;

private:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

    std::string RuleFile() const;
    void WriteEnabled() const;
    // Starts the engine when the feature's switch is on, or stops it.
    void RunEngine(bool on);
    // Writes Respond.txt when changed, then tells the engine.
    ListSaveResult SaveAndTell();

    IFeatureHost& m_host;
    std::unique_ptr<IRespondEngine> m_engine;
    CRespondRuleList m_rules;
    bool m_enabled = false;
    bool m_started = false;
    UINT m_playSoundMessage;
};
