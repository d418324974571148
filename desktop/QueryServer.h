#pragma once
#include <windows.h>

#include "desktop/DesktopHostProtocol.h"
#include "desktop/HostChannel.h"
#include "desktop/ProgmanWindow.h"

// Answers the requests of test processes (see DesktopHostProtocol.h). Every
// answer is read from the list view with list view messages sent inside this
// process, so a test sees what the desktop shows, subclasses included.
class CQueryServer {
public:
    // Creates the mapping, events and lock named after this process.
    int Open();
    HANDLE RequestEvent() const { return m_channel.request.Get(); }

    void Publish(CProgmanWindow* progman, const char* folder);
    void SetReady();
    void CountSync();

    // Handles the request waiting in the shared block and signals the answer.
    void Serve();

private:
    void FillView(DesktopHostProtocol::ViewRecord& view) const;
    void FillItems(DesktopHostProtocol::Answer& answer, int first) const;
    int Select(const DesktopHostProtocol::Request& request) const;
    int Move(const DesktopHostProtocol::Request& request) const;
    int PostKey(const DesktopHostProtocol::Request& request) const;
    int Sort() const;
    int TimeMoves(const DesktopHostProtocol::Request& request, DesktopHostProtocol::Answer& answer) const;
    HWND ListView() const;

    HostChannel m_channel;
    DesktopHostProtocol::SharedBlock* m_block = nullptr;
    CProgmanWindow* m_progman = nullptr;
    char m_folder[DesktopHostProtocol::kPathSize] = {};
    LONG_PTR m_listViewProc = 0;
    LONG_PTR m_defViewProc = 0;
};
