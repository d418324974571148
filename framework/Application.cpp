#include "framework/Application.h"

#include "framework/ErrorReport.h"

#include <objbase.h>

#include <vector>

namespace {

CApplication* g_application = nullptr;

}  // namespace

CApplication::CApplication()
{
    if (!g_application)
        g_application = this;
    else
        ReportError("CApplication: a second application object was made");
}

CApplication::~CApplication()
{
    m_mainWindow.reset();
    if (m_comInitialised)
        CoUninitialize();
    if (g_application == this)
        g_application = nullptr;
}

CApplication* CApplication::Get()
{
    return g_application;
}

int CApplication::InitFramework()
{
    m_instance = CWindow::GetModule();
    std::vector<char> path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(m_instance, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            ReportLastError("GetModuleFileNameA");
            return 0;
        }
        if (length < path.size()) {
            m_modulePath.assign(path.data(), length);
            break;
        }
        if (path.size() >= 32768) {
            ReportError("GetModuleFileNameA: the program's path is too long");
            return 0;
        }
        path.resize(path.size() * 2);
    }

    // The common controls are registered with the first dialog or sheet
    // (EnsureCommonControls), not here.

    // The shell's folder and link interfaces need COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    m_comInitialised = SUCCEEDED(com);
    if (!m_comInitialised)
        ReportError("CoInitializeEx failed");
    return 1;
}

int CApplication::Run()
{
    if (!InitFramework())
        return -1;
    if (!InitInstance()) {
        if (m_mainWindow) {
            // No loop runs, so no WM_QUIT may be left behind.
            m_mainWindow->SetEndsMessageLoop(false);
            m_mainWindow->Destroy();
        }
        ExitInstance();
        m_mainWindow.reset();
        return 0;
    }
    const int code = MessageLoop();
    ExitInstance();
    m_mainWindow.reset();
    return code;
}

int CApplication::PreTranslate(MSG& msg)
{
    if (!msg.hwnd)
        return 0;
    CWindow* top = CWindow::FromHandle(GetAncestor(msg.hwnd, GA_ROOT));
    return top ? top->PreTranslateMessage(msg) : 0;
}

int CApplication::MessageLoop()
{
    MSG msg = {};
    for (;;) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(msg.wParam);
        if (got == -1) {
            ReportLastError("GetMessageA");
            return -1;
        }
        if (!PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

std::string CApplication::GetModuleFolder() const
{
    const size_t slash = m_modulePath.find_last_of('\\');
    return slash == std::string::npos ? std::string() : m_modulePath.substr(0, slash);
}

std::string CApplication::GetArguments() const
{
    return ArgumentsOf(GetCommandLineA());
}

std::string CApplication::ArgumentsOf(const char* commandLine)
{
    const char* line = commandLine;
    if (!line)
        return std::string();
    // The program's name, in quotes when it holds blanks.
    if (*line == '"') {
        ++line;
        while (*line && *line != '"')
            ++line;
        if (*line == '"')
            ++line;
    } else {
        while (*line && *line != ' ' && *line != '\t')
            ++line;
    }
    while (*line == ' ' || *line == '\t')
        ++line;
    return std::string(line);
}

std::string CApplication::GetString(UINT id) const
{
    const HINSTANCE module = m_instance ? m_instance : CWindow::GetModule();
    // With a zero length LoadStringA does not answer a pointer, as the W
    // version does; read into a buffer big enough for any string resource.
    std::vector<char> text(4097, '\0');
    const int length = LoadStringA(module, id, text.data(), static_cast<int>(text.size()));
    return length > 0 ? std::string(text.data(), static_cast<size_t>(length)) : std::string();
}

CFrameWindow* CApplication::SetMainWindow(std::unique_ptr<CFrameWindow> window)
{
    if (m_mainWindow)
        m_mainWindow->SetEndsMessageLoop(false);
    m_mainWindow = std::move(window);
    if (m_mainWindow)
        m_mainWindow->SetEndsMessageLoop(true);
    return m_mainWindow.get();
}

int CApplication::InitInstance()
{
    return 1;
}
void CApplication::ExitInstance() { }
