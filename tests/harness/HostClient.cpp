#include "tests/harness/HostClient.h"

#include <cstdio>
#include <cstring>

#include "tests/harness/Wait.h"

using namespace DesktopHostProtocol;

namespace {
HANDLE OpenNamedEvent(DWORD pid, const char* kind)
{
    char name[96] = {};
    FormatObjectName(name, sizeof(name), pid, kind);
    return OpenEventA(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, name);
}
}  // namespace

int CDesktopHostClient::Connect(DWORD pid, DWORD timeoutMs)
{
    m_pid = pid;
    m_process.Reset(OpenProcess(SYNCHRONIZE, FALSE, pid));
    char name[96] = {};
    FormatObjectName(name, sizeof(name), pid, kMappingKind);
    bool opened = WaitFor(
        [&] {
            m_channel.mapping.Reset(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name));
            return m_channel.mapping.IsValid();
        },
        timeoutMs);
    if (!opened)
        return 0;
    m_channel.view.Reset(MapViewOfFile(m_channel.mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedBlock)));
    if (!m_channel.view.Get())
        return 0;
    m_block = static_cast<SharedBlock*>(m_channel.view.Get());
    // The host creates the events and the lock right after the mapping.
    bool ready = WaitFor(
        [&] {
            m_channel.request.Reset(OpenNamedEvent(pid, kRequestKind));
            m_channel.answer.Reset(OpenNamedEvent(pid, kAnswerKind));
            FormatObjectName(name, sizeof(name), pid, kLockKind);
            m_channel.lock.Reset(OpenMutexA(SYNCHRONIZE, FALSE, name));
            return m_channel.request.IsValid() && m_channel.answer.IsValid() && m_channel.lock.IsValid();
        },
        timeoutMs);
    return ready ? 1 : 0;
}

int CDesktopHostClient::WaitReady(DWORD timeoutMs) const
{
    if (!m_block)
        return 0;
    volatile HostHeader* header = &m_block->header;
    return WaitFor([&] { return header->magic == kMagic && header->ready != 0; }, timeoutMs) ? 1 : 0;
}

HWND CDesktopHostClient::Progman() const
{
    return m_block ? reinterpret_cast<HWND>(static_cast<uintptr_t>(m_block->header.progman)) : nullptr;
}
HWND CDesktopHostClient::DefView() const
{
    return m_block ? reinterpret_cast<HWND>(static_cast<uintptr_t>(m_block->header.defView)) : nullptr;
}
HWND CDesktopHostClient::ListView() const
{
    return m_block ? reinterpret_cast<HWND>(static_cast<uintptr_t>(m_block->header.listView)) : nullptr;
}
uint32_t CDesktopHostClient::FolderSyncs() const
{
    return m_block ? static_cast<volatile HostHeader*>(&m_block->header)->folderSyncs : 0;
}

int CDesktopHostClient::Call(Request& request)
{
    if (!m_block)
        return 0;
    HANDLE lockWait[2] = {m_channel.lock.Get(), m_process.Get()};
    DWORD locked = WaitForMultipleObjects(m_process.IsValid() ? 2 : 1, lockWait, FALSE, kCallTimeoutMs);
    if (locked != WAIT_OBJECT_0 && locked != WAIT_ABANDONED_0) {
        std::fprintf(stderr, "harness: desktop host %lu busy or gone\n", m_pid);
        return 0;
    }
    request.sequence = ++m_sequence;
    m_block->request = request;
    MemoryBarrier();
    SetEvent(m_channel.request.Get());
    int answered = 0;
    ULONGLONG deadline = GetTickCount64() + kCallTimeoutMs;
    HANDLE answerWait[2] = {m_channel.answer.Get(), m_process.Get()};
    for (;;) {
        ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            break;
        DWORD result = WaitForMultipleObjects(m_process.IsValid() ? 2 : 1, answerWait, FALSE,
                                              static_cast<DWORD>(deadline - now));
        if (result != WAIT_OBJECT_0)
            break;  // timeout, or the host ended
        MemoryBarrier();
        // A late answer to an earlier, timed-out call: keep waiting for ours.
        if (m_block->answer.sequence == request.sequence) {
            std::memcpy(m_last.get(), &m_block->answer, sizeof(Answer));
            answered = 1;
            break;
        }
    }
    ReleaseMutex(m_channel.lock.Get());
    if (!answered) {
        std::fprintf(stderr, "harness: desktop host %lu did not answer request %u\n", m_pid, request.code);
        return 0;
    }
    return m_last->ok ? 1 : 0;
}

int CDesktopHostClient::View(ViewRecord& view)
{
    Request request = {};
    request.code = kRequestView;
    if (!Call(request))
        return 0;
    view = m_last->view;
    return 1;
}

int CDesktopHostClient::Items(std::vector<ItemRecord>& items)
{
    items.clear();
    for (int first = 0;; first += kItemsPerPage) {
        Request request = {};
        request.code = kRequestItems;
        request.index = first;
        if (!Call(request))
            return 0;
        for (int i = 0; i < m_last->count; ++i)
            items.push_back(m_last->items[i]);
        if (m_last->count < kItemsPerPage || first + m_last->count >= m_last->view.itemCount)
            return 1;
    }
}

std::vector<std::string> CDesktopHostClient::Labels()
{
    std::vector<ItemRecord> items;
    std::vector<std::string> labels;
    if (!Items(items))
        return labels;
    for (const ItemRecord& item : items)
        labels.emplace_back(item.label);
    return labels;
}

int CDesktopHostClient::FindItem(const std::string& label, ItemRecord& item)
{
    std::vector<ItemRecord> items;
    item = ItemRecord{};
    item.index = -1;
    if (!Items(items))
        return 0;
    for (const ItemRecord& candidate : items) {
        if (label == candidate.label) {
            item = candidate;
            return 1;
        }
    }
    return 0;
}

int CDesktopHostClient::SetState(int index, uint32_t state, uint32_t mask)
{
    Request request = {};
    request.code = kRequestSelect;
    request.index = index;
    request.state = state;
    request.mask = mask;
    return Call(request);
}

int CDesktopHostClient::Move(int index, int x, int y)
{
    Request request = {};
    request.code = kRequestMove;
    request.index = index;
    request.x = x;
    request.y = y;
    return Call(request);
}

int CDesktopHostClient::PostKey(uint32_t virtualKey, uint32_t flags)
{
    Request request = {};
    request.code = kRequestPostKey;
    request.virtualKey = virtualKey;
    request.keyFlags = flags;
    return Call(request);
}

int CDesktopHostClient::ResetCounters()
{
    Request request = {};
    request.code = kRequestResetCounters;
    return Call(request);
}

int CDesktopHostClient::Refresh()
{
    Request request = {};
    request.code = kRequestRefresh;
    return Call(request);
}

int CDesktopHostClient::Focus()
{
    Request request = {};
    request.code = kRequestFocus;
    return Call(request);
}

uint32_t CDesktopHostClient::Count(const ViewRecord& view, int code)
{
    for (uint32_t i = 0; i < view.counterCount && i < static_cast<uint32_t>(kMaxCounters); ++i) {
        if (view.counters[i].code == code)
            return view.counters[i].count;
    }
    return 0;
}

int CDesktopHostClient::PlaceOnInsert(const std::string& label, int x, int y)
{
    if (label.size() >= static_cast<size_t>(kLabelSize))
        return 0;
    Request request = {};
    request.code = kRequestPlaceOnInsert;
    request.x = x;
    request.y = y;
    std::memcpy(request.label, label.c_str(), label.size() + 1);
    return Call(request);
}

int CDesktopHostClient::Sort()
{
    Request request = {};
    request.code = kRequestSort;
    return Call(request);
}

int CDesktopHostClient::MoveDefView(DesktopTree tree)
{
    Request request = {};
    request.code = kRequestMoveDefView;
    request.index = tree;
    return Call(request);
}

int CDesktopHostClient::ServeMonitors(const std::string& monitors)
{
    Request request = {};
    request.code = kRequestServeMonitors;
    if (monitors.size() >= sizeof request.label)
        return 0;
    std::memcpy(request.label, monitors.c_str(), monitors.size() + 1);
    return Call(request);
}

int CDesktopHostClient::RunViewCommand(ViewCommand command)
{
    Request request = {};
    request.code = kRequestViewCommand;
    request.index = command;
    return Call(request);
}

int CDesktopHostClient::TimeMoves(int dx, int dy, double& seconds)
{
    Request request = {};
    request.code = kRequestTimeMoves;
    request.x = dx;
    request.y = dy;
    seconds = -1;
    if (!Call(request))
        return 0;
    if (m_last->tickFrequency == 0)
        return 0;
    seconds = static_cast<double>(m_last->elapsedTicks) / static_cast<double>(m_last->tickFrequency);
    return 1;
}
