#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "desktop/DesktopHostProtocol.h"
#include "desktop/HostChannel.h"

// Talks to a running DesktopHost.exe through its query objects: reads what
// its list view shows and drives it. Every call waits a bounded time and
// answers 0 when the host does not answer (or has ended).
class CDesktopHostClient {
public:
    using ViewRecord = DesktopHostProtocol::ViewRecord;
    using ItemRecord = DesktopHostProtocol::ItemRecord;

    static constexpr DWORD kCallTimeoutMs = 10000;

    // Opens the objects of the host with process id pid, waiting up to
    // timeoutMs for the host to create them.
    int Connect(DWORD pid, DWORD timeoutMs);
    // Waits until the host shows its folder for the first time.
    int WaitReady(DWORD timeoutMs) const;
    DWORD Pid() const { return m_pid; }

    HWND Progman() const;
    HWND DefView() const;
    HWND ListView() const;
    uint32_t FolderSyncs() const;

    int View(ViewRecord& view);
    // Every item, in index order.
    int Items(std::vector<ItemRecord>& items);
    std::vector<std::string> Labels();
    // The first item with this label (index -1 when there is none).
    int FindItem(const std::string& label, ItemRecord& item);

    int SetState(int index, uint32_t state, uint32_t mask);
    int Select(int index, bool selected)
    {
        return SetState(index, selected ? DesktopHostProtocol::kStateSelected : 0, DesktopHostProtocol::kStateSelected);
    }
    int Move(int index, int x, int y);
    int PostKey(uint32_t virtualKey, uint32_t flags = DesktopHostProtocol::kKeyDown | DesktopHostProtocol::kKeyUp);
    int ResetCounters();
    int Refresh();
    int Focus();
    // Has the host's parent window move the next item inserted with label to
    // (x, y) from that item's LVN_INSERTITEM.
    int PlaceOnInsert(const std::string& label, int x, int y);
    // Has the host sort its items (LVM_SORTITEMS), newest first.
    int Sort();
    // Has the host move every item by (dx, dy) with one LVM_GETITEMPOSITION
    // and one LVM_SETITEMPOSITION32 each; seconds holds how long those calls
    // took inside the host.
    int TimeMoves(int dx, int dy, double& seconds);
    // Has the host move its DefView into another window tree.
    int MoveDefView(DesktopHostProtocol::DesktopTree tree);
    // Has the host serve these monitors ("left,top,width,height;...", the
    // primary first; empty: the real ones) and announce the change.
    int ServeMonitors(const std::string& monitors);
    // Runs a view command of the desktop's menu (auto-arrange, align to grid, sort by name).
    int RunViewCommand(DesktopHostProtocol::ViewCommand command);

    // How often the list view sent code to its parent, from a view record.
    static uint32_t Count(const ViewRecord& view, int code);

private:
    int Call(DesktopHostProtocol::Request& request);

    DWORD m_pid = 0;
    ScopedHandle m_process;
    HostChannel m_channel;
    DesktopHostProtocol::SharedBlock* m_block = nullptr;
    uint32_t m_sequence = 0;
    std::unique_ptr<DesktopHostProtocol::Answer> m_last = std::make_unique<DesktopHostProtocol::Answer>();
};
