// CApplication: the program's one application object. Run() is the start
// sequence: initialise the framework, InitInstance, the message loop until
// the main window is destroyed, ExitInstance. The program's entry calls it
// inside its fault guard.
#pragma once

#include "framework/FrameWindow.h"

#include <memory>
#include <string>

class CApplication {
public:
    CApplication();
    virtual ~CApplication();
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    // The object made first (and still alive), or nullptr.
    static CApplication* Get();

    // Answers the message loop's exit code; 0 when InitInstance declined, -1
    // when the framework could not start.
    int Run();

    HINSTANCE GetInstance() const { return m_instance; }
    // The program file's full path, and its folder without a trailing backslash.
    const std::string& GetModulePath() const { return m_modulePath; }
    std::string GetModuleFolder() const;
    // The command line after the program's name, leading blanks removed.
    std::string GetArguments() const;
    // The same for any command line; the name may be quoted.
    static std::string ArgumentsOf(const char* commandLine);
    // String resource id of the program's module; empty if there is none.
    std::string GetString(UINT id) const;

    // The application owns its main window; destroying that window ends the loop.
    CFrameWindow* SetMainWindow(std::unique_ptr<CFrameWindow> window);
    CFrameWindow* GetMainWindow() const { return m_mainWindow.get(); }

protected:
    // Answer 0 to end the program without running the loop.
    virtual int InitInstance();
    virtual void ExitInstance();
    // Gives each message to the PreTranslateMessage of its top-level window's
    // object (modeless dialogs, the property sheet), then dispatches it.
    virtual int MessageLoop();

private:
    int InitFramework();
    static int PreTranslate(MSG& msg);

    HINSTANCE m_instance = nullptr;
    std::string m_modulePath;
    std::unique_ptr<CFrameWindow> m_mainWindow;
    bool m_comInitialised = false;
};
