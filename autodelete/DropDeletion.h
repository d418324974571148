// CDropDeletion: the deletion of what was dropped on the File Shredder
// window, without a window: each dropped file, and each dropped folder with
// all it holds, through the safe walker (each folder held open while it is
// emptied, each entry opened relative to it and deleted through its own
// handle). It counts the entries first, then deletes them one step per
// entry. A folder that is a link is never entered: dropped or met inside a
// dropped folder, it is a failure and what it leads to is left alone. Every
// failure is told with its path and the reason.
#pragma once

#include "files/SafeWalker.h"

#include <string>
#include <vector>

class IDropDeletionProgress {
public:
    virtual ~IDropDeletionProgress() = default;
    // Lets the user interface breathe; true once the user cancelled.
    virtual bool Pump() = 0;
    virtual void Step() = 0;
    // "path (reason)", for the list of failures.
    virtual void Failed(const std::string& text) = 0;
};

class CDropDeletion {
public:
    CDropDeletion(IWalkSystem& system, IDropDeletionProgress& progress);

    // 1 for a file (or anything that is no folder to enter), 1 plus its
    // entries for a folder; 0 once cancelled.
    unsigned long CountEntries(const std::string& path);
    // Deletes one dropped path and what it holds; a failure is told. 1 when
    // it is gone.
    int DeleteDropped(const std::string& path);

private:
    unsigned long CountFolder(const CWalkItem& folder);
    // The folder's entries, then the folder (through its handle, closed by
    // then); 0 if anything stays.
    int DeleteFolder(CWalkItem& folder);
    int DeleteItem(CWalkItem& item);
    void Fail(const std::string& path, const WalkStatus& status);

    CSafeWalker m_counter;
    CSafeWalker m_deleter;
    IDropDeletionProgress& m_progress;
};
