// CDeletionFeature: automated deletion, owned outside the property sheet. At
// start it reads its registry values and AutoDelete.txt, shows the File
// Shredder window, adds the "Recycle Bin" hide rule again, and starts the
// schedule, whose timer runs on a message-only window of its own (where the
// window's end of a drop arrives too); at exit the timer stops, the window
// goes (its place kept) and the values and a changed list are written. The
// Delete page edits it through IDeletionOwner.
#pragma once

#include "autodelete/DeleteSchedule.h"
#include "autodelete/DeletionOwner.h"
#include "autodelete/DeletionTaskList.h"
#include "common/Feature.h"
#include "files/DropWindowHolder.h"
#include "files/MessageWnd.h"

#include <functional>
#include <string>

class IFeatureHost;
class IIconFeatures;

class CDeletionFeature : public IFeature, public IDeletionOwner, private IDeleteScheduleHost {
public:
    // icons: the icon features, for the "Recycle Bin" rule; may be null.
    CDeletionFeature(IFeatureHost& host, IIconFeatures* icons);
    ~CDeletionFeature() override;

    // IFeature
    void Start() override;
    void ShowWindows() override { m_window.Match(); }
    void Stop() override;
    void DisplayChanged() override { m_window.DisplayChanged(); }
    bool InModalLoop(HWND* popup) const override { return m_window.InModalLoop(popup); }

    // Reads the values and the list again (the first step of Start); the
    // window follows in ShowWindows.
    void Load();

    // IDeletionOwner
    const DeleteSettings& Settings() const override { return m_settings; }
    void ApplySettings(const DeleteSettings& settings) override;
    const CDeleteSchedule& Schedule() const override { return m_schedule; }
    CDeletionTaskList& Tasks() override { return m_tasks; }
    bool SaveTasks() override;
    void RunNow() override { m_schedule.DoAutoDel(true, false); }
    void SetScheduleRan(std::function<void()> ran) override { m_scheduleRan = std::move(ran); }
    bool RecycleBinHidden() const override;
    void HideRecycleBin(bool hide) override;
    CShredderIconWnd* Shredder() const override;

    // The local clock in seconds since 1601, and its low 32 bits.
    static uint64_t LocalSeconds();
    static uint32_t NowSeconds() { return static_cast<uint32_t>(LocalSeconds()); }

private:
    // IDeleteScheduleHost
    uint32_t Now() override { return NowSeconds(); }
    bool SetTimer(uint32_t elapseMs) override;
    void KillTimer() override;
    bool FeaturesEnabled() override;
    void RunTasks() override;
    void StoreLastAction(uint32_t seconds) override;
    void Warn(const char* text) override;

    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    std::string TaskFile() const;
    // The values, and the list when it changed.
    void SaveSettings();

    IFeatureHost& m_host;
    IIconFeatures* m_icons;
    DeleteSettings m_settings;
    CDeletionTaskList m_tasks;
    CDeleteSchedule m_schedule;
    std::function<void()> m_scheduleRan;
    bool m_started = false;
    CMessageWnd m_messages;
    // Declared last: the window goes first, before what it refers to.
    CDropWindowHolder m_window;
};
