#include "desktop/QueryServer.h"

#include <commctrl.h>

#include <cstring>

#include "common/Utf8.h"
#include "desktop/ServedMonitors.h"

using namespace DesktopHostProtocol;

namespace {
RectRecord ToRecord(const RECT& rect)
{
    return RectRecord{rect.left, rect.top, rect.right, rect.bottom};
}

RectRecord WindowRect(HWND hwnd)
{
    RECT rect = {};
    if (hwnd)
        GetWindowRect(hwnd, &rect);
    return ToRecord(rect);
}

RectRecord ItemRect(HWND list, int index, int part)
{
    RECT rect = {};
    rect.left = part;
    if (!SendMessageW(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect)))
        rect = RECT{};
    return ToRecord(rect);
}
}  // namespace

int CQueryServer::Open()
{
    DWORD pid = GetCurrentProcessId();
    char name[96] = {};
    FormatObjectName(name, sizeof(name), pid, kMappingKind);
    m_channel.mapping.Reset(
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(SharedBlock),
                           Utf8ToWide(name).c_str()));
    if (!m_channel.mapping.IsValid())
        return 0;
    m_channel.view.Reset(MapViewOfFile(m_channel.mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedBlock)));
    if (!m_channel.view.Get())
        return 0;
    m_block = static_cast<SharedBlock*>(m_channel.view.Get());
    std::memset(m_block, 0, sizeof(SharedBlock));
    FormatObjectName(name, sizeof(name), pid, kRequestKind);
    m_channel.request.Reset(CreateEventW(nullptr, FALSE, FALSE, Utf8ToWide(name).c_str()));
    FormatObjectName(name, sizeof(name), pid, kAnswerKind);
    m_channel.answer.Reset(CreateEventW(nullptr, FALSE, FALSE, Utf8ToWide(name).c_str()));
    FormatObjectName(name, sizeof(name), pid, kLockKind);
    m_channel.lock.Reset(CreateMutexW(nullptr, FALSE, Utf8ToWide(name).c_str()));
    if (!m_channel.request.IsValid() || !m_channel.answer.IsValid() || !m_channel.lock.IsValid())
        return 0;
    m_block->header.hostPid = pid;
    m_block->header.version = kVersion;
    return 1;
}

void CQueryServer::Publish(CProgmanWindow* progman, const char* folder)
{
    m_progman = progman;
    CopyUtf8(m_folder, sizeof(m_folder), folder);
    HostHeader& header = m_block->header;
    header.progman = reinterpret_cast<uint64_t>(progman->Handle());
    header.defView = reinterpret_cast<uint64_t>(progman->DefView().Handle());
    header.listView = reinterpret_cast<uint64_t>(progman->DefView().View().Handle());
    // The host's own procedures, so that a query can tell whether someone
    // (the hook library) has put theirs in front.
    m_listViewProc = GetWindowLongPtrW(progman->DefView().View().Handle(), GWLP_WNDPROC);
    m_defViewProc = GetWindowLongPtrW(progman->DefView().Handle(), GWLP_WNDPROC);
    // The magic goes last: a client that sees it sees the handles too.
    MemoryBarrier();
    header.magic = kMagic;
}

void CQueryServer::SetReady()
{
    m_block->header.ready = 1;
}

void CQueryServer::CountSync()
{
    ++m_block->header.folderSyncs;
}

HWND CQueryServer::ListView() const
{
    return m_progman ? m_progman->DefView().View().Handle() : nullptr;
}

void CQueryServer::FillView(ViewRecord& view) const
{
    HWND list = ListView();
    view.itemCount = ListView_GetItemCount(list);
    view.selectedCount = ListView_GetSelectedCount(list);
    view.focusedItem = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
    view.textColor = ListView_GetTextColor(list);
    view.textBkColor = ListView_GetTextBkColor(list);
    view.bkColor = ListView_GetBkColor(list);
    view.style = static_cast<uint32_t>(GetWindowLongPtrW(list, GWL_STYLE));
    view.exStyle = static_cast<uint32_t>(GetWindowLongPtrW(list, GWL_EXSTYLE));
    view.listViewExStyle = ListView_GetExtendedListViewStyle(list);
    view.hasFocus = GetFocus() == list ? 1 : 0;
    view.listViewSubclassed = GetWindowLongPtrW(list, GWLP_WNDPROC) != m_listViewProc ? 1 : 0;
    view.defViewSubclassed = GetWindowLongPtrW(m_progman->DefView().Handle(), GWLP_WNDPROC) != m_defViewProc ? 1 : 0;
    view.progmanRect = WindowRect(m_progman->Handle());
    view.defViewRect = WindowRect(m_progman->DefView().Handle());
    view.listViewRect = WindowRect(list);
    view.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    view.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    DWORD spacing = static_cast<DWORD>(ListView_GetItemSpacing(list, FALSE));
    view.iconSpacingX = LOWORD(spacing);
    view.iconSpacingY = HIWORD(spacing);
    view.displayChanges = m_progman->DisplayChanges();
    view.shellArranges = m_progman->ShellArranges();
    view.folderSyncs = m_block->header.folderSyncs;
    m_progman->DefView().Log().CopyTo(view);
    CopyUtf8(view.folder, sizeof(view.folder), m_folder);
}

void CQueryServer::FillItems(Answer& answer, int first) const
{
    HWND list = ListView();
    int count = ListView_GetItemCount(list);
    answer.firstIndex = first;
    answer.count = 0;
    for (int i = first; i >= 0 && i < count && answer.count < kItemsPerPage; ++i) {
        ItemRecord& record = answer.items[answer.count++];
        record.index = i;
        POINT position = {};
        ListView_GetItemPosition(list, i, &position);
        record.x = position.x;
        record.y = position.y;
        record.iconRect = ItemRect(list, i, LVIR_ICON);
        record.boundsRect = ItemRect(list, i, LVIR_BOUNDS);
        record.state = ListView_GetItemState(list, i, LVIS_FOCUSED | LVIS_SELECTED);
        LVITEMW item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = i;
        record.image = SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? item.iImage : -1;
        // The label as the list view holds it (UTF-16, at most MAX_PATH units
        // as the shell's names), answered as UTF-8 cut on a character boundary.
        wchar_t text[MAX_PATH + 1] = {};
        LVITEMW textItem = {};
        textItem.pszText = text;
        textItem.cchTextMax = MAX_PATH + 1;
        SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&textItem));
        CopyUtf8(record.label, kLabelSize, WideToUtf8(text).c_str());
    }
}

int CQueryServer::Select(const Request& request) const
{
    LVITEMW item = {};
    item.stateMask = request.mask & (LVIS_FOCUSED | LVIS_SELECTED);
    item.state = request.state & item.stateMask;
    return SendMessageW(ListView(), LVM_SETITEMSTATE, static_cast<WPARAM>(request.index),
                        reinterpret_cast<LPARAM>(&item))
        ? 1
        : 0;
}

int CQueryServer::Move(const Request& request) const
{
    POINT target = {request.x, request.y};
    return SendMessageW(ListView(), LVM_SETITEMPOSITION32, static_cast<WPARAM>(request.index),
                        reinterpret_cast<LPARAM>(&target))
        ? 1
        : 0;
}

int CQueryServer::PostKey(const Request& request) const
{
    UINT scan = MapVirtualKeyW(request.virtualKey, MAPVK_VK_TO_VSC);
    LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
    LPARAM up = down | (1L << 30) | (1UL << 31);
    int ok = 1;
    if (request.keyFlags & kKeyDown)
        ok &= PostMessageW(ListView(), WM_KEYDOWN, request.virtualKey, down) ? 1 : 0;
    if (request.keyFlags & kKeyUp)
        ok &= PostMessageW(ListView(), WM_KEYUP, request.virtualKey, up) ? 1 : 0;
    return ok;
}

namespace {
int CALLBACK NewestFirst(LPARAM a, LPARAM b, LPARAM)
{
    return a > b ? -1 : (a < b ? 1 : 0);
}
}  // namespace

int CQueryServer::Sort() const
{
    return SendMessageW(ListView(), LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(NewestFirst)) ? 1 : 0;
}

int CQueryServer::TimeMoves(const Request& request, Answer& answer) const
{
    HWND list = ListView();
    const int count = ListView_GetItemCount(list);
    LARGE_INTEGER frequency = {}, start = {}, end = {};
    QueryPerformanceFrequency(&frequency);
    int ok = 1;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < count; ++i) {
        POINT position = {};
        if (!SendMessageW(list, LVM_GETITEMPOSITION, i, reinterpret_cast<LPARAM>(&position)))
            ok = 0;
        position.x += request.x;
        position.y += request.y;
        if (!SendMessageW(list, LVM_SETITEMPOSITION32, i, reinterpret_cast<LPARAM>(&position)))
            ok = 0;
    }
    QueryPerformanceCounter(&end);
    answer.elapsedTicks = static_cast<uint64_t>(end.QuadPart - start.QuadPart);
    answer.tickFrequency = static_cast<uint64_t>(frequency.QuadPart);
    return ok;
}

void CQueryServer::Serve()
{
    Request request = m_block->request;
    Answer& answer = m_block->answer;
    std::memset(&answer, 0, sizeof(answer));
    int ok = 0;
    if (m_progman) {
        switch (request.code) {
        case kRequestView: ok = 1; break;
        case kRequestItems:
            FillItems(answer, request.index);
            ok = 1;
            break;
        case kRequestSelect: ok = Select(request); break;
        case kRequestMove: ok = Move(request); break;
        case kRequestPostKey: ok = PostKey(request); break;
        case kRequestResetCounters:
            m_progman->DefView().Log().Reset();
            ok = 1;
            break;
        case kRequestRefresh: ok = m_progman->DefView().View().Reload(); break;
        case kRequestFocus:
            SetForegroundWindow(m_progman->DefViewRoot());
            SetFocus(ListView());
            ok = GetFocus() == ListView() ? 1 : 0;
            break;
        case kRequestPlaceOnInsert: {
            request.label[kLabelSize - 1] = '\0';
            m_progman->DefView().PlaceOnInsert(request.label, POINT{request.x, request.y});
            ok = 1;
            break;
        }
        case kRequestSort: ok = Sort(); break;
        case kRequestTimeMoves: ok = TimeMoves(request, answer); break;
        case kRequestMoveDefView:
            ok = request.index >= kTreeProgman && request.index <= kTreeWorkerWChild
                ? m_progman->MoveDefView(static_cast<DesktopTree>(request.index))
                : 0;
            break;
        case kRequestServeMonitors:
            request.label[kLabelSize - 1] = '\0';
            ok = ServeMonitors(request.label) ? 1 : 0;
            if (ok)
                SendMessageW(m_progman->Handle(), WM_DISPLAYCHANGE, 32,
                             MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
            break;
        case kRequestViewCommand: ok = m_progman->DefView().View().RunViewCommand(request.index) ? 1 : 0; break;
        default: ok = 0; break;
        }
        FillView(answer.view);
    }
    answer.code = request.code;
    answer.ok = static_cast<uint32_t>(ok);
    MemoryBarrier();
    answer.sequence = request.sequence;
    SetEvent(m_channel.answer.Get());
}
