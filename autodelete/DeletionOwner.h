// IDeletionOwner: what the Delete page edits of automated deletion. The page
// reads the settings, the schedule and the tasks when it is shown, edits the
// tasks in place and hands its settings over on Apply; the owner
// (CDeletionFeature) keeps them, writes them, runs the schedule and holds the
// File Shredder window.
#pragma once

#include "autodelete/DeleteSchedule.h"

#include <functional>

class CDeletionTaskList;
class CShredderIconWnd;

class IDeletionOwner {
public:
    // The desktop icon whose hide rule the page's switch sets.
    static constexpr const char* kRecycleBin = "Recycle Bin";

    virtual ~IDeletionOwner() = default;

    virtual const DeleteSettings& Settings() const = 0;
    // The page's choices (the window shown, "Enabled", "Perform at startup",
    // the period; the window's place and the last run stay the owner's):
    // kept and written with a changed list, the window shown or hidden, and
    // the schedule set again (a run now due runs at once).
    virtual void ApplySettings(const DeleteSettings& settings) = 0;
    virtual const CDeleteSchedule& Schedule() const = 0;

    // The tasks, which the page changes in place.
    virtual CDeletionTaskList& Tasks() = 0;
    // Writes the task list when it changed; false when a change could not
    // be written (it stays for the next save).
    virtual bool SaveTasks() = 0;
    // "Delete Now": every task at once, whatever the schedule.
    virtual void RunNow() = 0;
    // Told after each run of the schedule (the page shows the last run).
    virtual void SetScheduleRan(std::function<void()> ran) = 0;

    // The "Recycle Bin" hide rule of the icon features.
    virtual bool RecycleBinHidden() const = 0;
    virtual void HideRecycleBin(bool hide) = 0;

    // The File Shredder window while it is shown, else nullptr.
    virtual CShredderIconWnd* Shredder() const = 0;
};
