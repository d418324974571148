#include "files/DropWindowHolder.h"

#include "common/Log.h"
#include "settings/SettingsStore.h"

#include <utility>

CDropWindowHolder::CDropWindowHolder(const char* name, const Place& place, MakeWindowFn make,
                                     std::function<void()> savePlace)
    : m_name(name), m_place(place), m_make(std::move(make)), m_savePlace(std::move(savePlace))
{
}

// ~CDialog unbinds the window before destroying it, so none of its code runs
// once the feature that made it is half gone.
CDropWindowHolder::~CDropWindowHolder() = default;

void CDropWindowHolder::SetWindows(HWND owner, HWND dropDone)
{
    m_owner = owner;
    m_dropDone = dropDone;
    if (m_window)
        m_window->SetDropDoneWindow(dropDone);
}

void CDropWindowHolder::Match()
{
    if (m_place.show)
        Show();
    else
        Hide();
}

void CDropWindowHolder::Show()
{
    if (m_window)
        return;
    std::unique_ptr<CDesktopDropWnd> window = m_make();
    if (!window || !window->Create(m_owner)) {
        LogWarningFormat("Cannot create the %s window", m_name);
        return;
    }
    window->SetDropDoneWindow(m_dropDone);
    m_window = std::move(window);
    MoveToPlace();
}

void CDropWindowHolder::ReadValues(const CSettingsStore& store, const char* showName, const char* placeName)
{
    store.ReadValue(showName, &m_place.show);
    int32_t position[2] = {m_place.left, m_place.top};
    store.ReadValue(placeName, &position);
    m_place.left = position[0];
    m_place.top = position[1];
}

void CDropWindowHolder::WriteValues(const CSettingsStore& store, const char* showName, const char* placeName) const
{
    const int32_t position[2] = {m_place.left, m_place.top};
    store.WriteBinary(showName, &m_place.show, 1);
    store.WriteBinary(placeName, position, sizeof position);
}

void CDropWindowHolder::MoveToPlace()
{
    if (m_window)
        m_window->MoveTo(m_place.left, m_place.top);
}

void CDropWindowHolder::Hide()
{
    // A drop's dialog runs inside the window's handler: the window goes when
    // the drop is over (DropDone).
    if (!m_window || m_window->InDrop())
        return;
    if (m_window->IsAlive()) {
        m_window->Position(&m_place.left, &m_place.top);
        m_savePlace();
        m_window->Destroy();
    }
    m_window.reset();
}

void CDropWindowHolder::DisplayChanged()
{
    if (m_window && m_window->IsAlive())
        m_window->ReloadBitmaps();
}

bool CDropWindowHolder::InModalLoop(HWND* popup) const
{
    if (!m_window || !m_window->InDrop())
        return false;
    if (popup)
        *popup = m_window->DropPopup();
    return true;
}
