// CMainSheet: the program's one property sheet, "Dervane Properties". It
// lives, hidden, from start-up to exit; its close box only hides it.
#pragma once

#include "framework/PropertySheet.h"
#include "pages/FeaturePage.h"
#include "pages/PageOwners.h"

#include <functional>

class CIconsPage;
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
    // The pages that other pages work through, by their own class: a page
    // that needs one is given the sheet when it is made.
    CIconsPage* IconsPage() const { return m_iconsPage; }
    // The icon features' hide switch and rules, for the pages that set them.
    IIconFeatures* IconFeatures() const { return m_owners.icons; }

    // Once the hook library is ready: each feature loads its settings and starts.
    void LoadFeatures();
    // Makes every page active once so that every page window exists.
    void ActivateEveryPage();
    void RefreshFeatures();
    void DisplayChanged();
    // True while a window of a page (on the desktop) runs a dialog's modal
    // loop with the page on the stack; popup receives the dialog, if any.
    bool PageInModalLoop(HWND* popup) const;
    // At exit: the pages' own shutdown steps (only for features that were
    // loaded: a page that never read its list must not write it), then every
    // page is removed.
    void TearDown();

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void ForEach(std::initializer_list<Slot> order, const std::function<void(CFeaturePage&)>& step);
    void Add(Slot slot, std::unique_ptr<CFeaturePage> page);

    IPageHost& m_host;
    PageOwners m_owners;
    CFeaturePage* m_slots[SlotCount] = {};
    CIconsPage* m_iconsPage = nullptr;
    bool m_featuresLoaded = false;
    UINT m_appMessageId;
    UINT m_hookMessageId;
};
