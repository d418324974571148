#pragma once

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "tests/app/ProgramSupport.h"
#include "tests/harness/HostSession.h"
#include "tests/harness/TestDesktop.h"

// The fixture of the program's integration tests: a desktop folder with one
// file, a clean registry, a fresh program folder named after the test; the
// tests start the desktop host and the program. Everything started ends with
// the test, program first.
class ProgramTestBase : public ::testing::Test {
protected:
    using View = CDesktopHostClient::ViewRecord;

    // Label colours the tests store so that the program's settings can be
    // told apart from the desktop's own.
    static constexpr COLORREF kText = RGB(255, 255, 0);
    static constexpr COLORREF kBack = RGB(128, 0, 128);

    // The running test's suite and name: the name of its program folder.
    static std::string TestFolderName();
    void SetUp() override;
    void TearDown() override;

    // Stores kText on kBack and "First Time" 0 (no sheet at start).
    void StoreKnownLook();
    // Starts the program and waits until it has sent its settings to the
    // desktop, seen as the label colours text on back.
    ::testing::AssertionResult StartReady(CProgramProcess& program, const std::string& arguments = std::string(),
                                          COLORREF text = kText, COLORREF back = kBack);
    ::testing::AssertionResult WaitLook(COLORREF text, COLORREF back, DWORD timeoutMs = 15000);
    View ReadView();
    // Opens the sheet from the tray menu at page index (2: Icons) and answers
    // that page's window; nullptr if the sheet did not show.
    HWND ShowPage(int index);
    CDesktopHostClient& Host() { return m_session.Client(); }

    CTestDesktop m_desktop;
    CHostSession m_session;
    CProgramFolder m_folder;
    CProgramProcess m_program;
    CProgramProcess m_second;
};

// The fixture of the tests that delete: a folder beside the program folder
// (m_trash) made for each test and removed after it.
class ProgramTrashTestBase : public ProgramTestBase {
protected:
    void SetUp() override
    {
        ProgramTestBase::SetUp();
        m_trash = m_folder.Path() + ".trash";
        CreateDirectoryA(m_trash.c_str(), nullptr);
    }
    void TearDown() override
    {
        ProgramTestBase::TearDown();
        RemoveDirectoryA(m_trash.c_str());
    }

    std::string m_trash;
};
