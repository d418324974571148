// CDropWindowHolder: a feature's drop window on the desktop (CDesktopDropWnd),
// held for the feature: the window is made when the settings show it and goes
// when they hide it, its place read back and saved first. It never goes while
// a drop's dialog runs inside it (InModalLoop says so at exit): then it goes
// once the drop is over, when the window that is told of a drop's end
// (WMAPP_DESKTOP_DROP_DONE) hands it on to DropDone.
#pragma once

#include "files/DesktopDropWnd.h"

#include <cstdint>
#include <functional>
#include <memory>

class CSettingsStore;

class CDropWindowHolder {
public:
    // Where the feature's settings keep the window.
    struct Place {
        uint8_t& show;
        int32_t& left;
        int32_t& top;
    };
    using MakeWindowFn = std::function<std::unique_ptr<CDesktopDropWnd>()>;

    // name: the window's name for the log; make: a new window, not created
    // yet; savePlace: saves the settings, the window's place among them.
    CDropWindowHolder(const char* name, const Place& place, MakeWindowFn make, std::function<void()> savePlace);
    ~CDropWindowHolder();
    CDropWindowHolder(const CDropWindowHolder&) = delete;
    CDropWindowHolder& operator=(const CDropWindowHolder&) = delete;

    // The owner of the window on the desktop, and the window told of the end
    // of each drop.
    void SetWindows(HWND owner, HWND dropDone);

    // The window shown or hidden as the settings say.
    void Match();
    // A window that is not there is made at the stored place; one that is
    // there stays where it is (the user may have dragged it).
    void Show();
    // Its place read back and saved, the window goes.
    void Hide();
    // A shown window moves to the stored place (brought back whole onto the
    // screen).
    void MoveToPlace();
    // The window's registry values: shown or not (showName, one byte) and its
    // place (placeName, two 32-bit numbers); a value missing or of another
    // size leaves the setting as it was. Reading shows nothing: Match does.
    void ReadValues(const CSettingsStore& store, const char* showName, const char* placeName);
    void WriteValues(const CSettingsStore& store, const char* showName, const char* placeName) const;
    // A drop is over (WMAPP_DESKTOP_DROP_DONE): the window goes now if the
    // settings hid it meanwhile.
    void DropDone() { Match(); }
    // The display changed its colour depth: the window's pictures again.
    void DisplayChanged();
    // True while a drop's dialog runs inside the window; popup receives it.
    bool InModalLoop(HWND* popup) const;

    CDesktopDropWnd* Window() const { return m_window.get(); }

private:
    const char* m_name;
    Place m_place;
    MakeWindowFn m_make;
    std::function<void()> m_savePlace;
    HWND m_owner = nullptr;
    HWND m_dropDone = nullptr;
    std::unique_ptr<CDesktopDropWnd> m_window;
};
