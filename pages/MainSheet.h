// CMainSheet: the program's one property sheet, "Dervane Properties". It is
// made when the user first opens it and lives, hidden when closed, until
// exit; its pages edit the features, which run without it.
#pragma once

#include "framework/PropertySheet.h"
#include "pages/FeaturePage.h"
#include "pages/PageOwners.h"

#include <functional>

class IPageHost;

class CMainSheet : public CPropertySheet {
public:
    // The pages in tab order.
    enum Slot { About, General, Icons, Tray, Respond, Delete, Backup, SlotCount };

    CMainSheet(IPageHost& host, const PageOwners& owners);

    // Creates the page objects and adds them in tab order.
    void AddPages();
    // The sheet's window, hidden, owned by the host's window.
    int CreateHidden();
    CFeaturePage* Page(Slot slot) const { return m_slots[slot]; }

    void RefreshFeatures();
    // At exit: every page is removed (the features stop after, in the core).
    void TearDown();

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void ForEach(std::initializer_list<Slot> order, const std::function<void(CFeaturePage&)>& step);
    void Add(Slot slot, std::unique_ptr<CFeaturePage> page);

    IPageHost& m_host;
    PageOwners m_owners;
    CFeaturePage* m_slots[SlotCount] = {};
    UINT m_appMessageId;
    UINT m_hookMessageId;
};
