// CMainSheet: the program's one property sheet, "Dervane Properties". It
// lives, hidden, from start-up to exit; its close box only hides it.
#pragma once

#include "framework/PropertySheet.h"
#include "pages/FeaturePage.h"

#include <functional>

class CTrayWnd;

class CMainSheet : public CPropertySheet {
public:
    // The pages in tab order.
    enum Slot { About, General, Icons, Tray, Respond, Delete, Backup, SlotCount };

    explicit CMainSheet(CTrayWnd& main);

    // Creates the page objects and adds them in tab order.
    void AddPages();
    int CreateHidden();
    CFeaturePage* Page(Slot slot) const { return m_slots[slot]; }

    // Once the hook library is ready: each feature loads its settings and starts.
    void LoadFeatures();
    // Makes every page active once so that every page window exists.
    void ActivateEveryPage();
    void RefreshFeatures();
    void FeaturesSwitched(bool enabled);
    void DisplayChanged();
    void LayoutLoaded(int type, const char* name);
    // At exit: the pages' own shutdown steps, then every page is removed.
    void TearDown();

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void ForEach(std::initializer_list<Slot> order, const std::function<void(CFeaturePage&)>& step);
    void Add(Slot slot, std::unique_ptr<CFeaturePage> page);

    CTrayWnd& m_main;
    CFeaturePage* m_slots[SlotCount] = {};
    UINT m_appMessageId;
    UINT m_hookMessageId;
};
