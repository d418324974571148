// CShredderIconWnd: the File Shredder window on the desktop, "Dervane Delete
// Icon", cut to its outline by a window region (the same with and without the
// focus). What is dropped on it is deleted at once under the progress dialog,
// without a question; a drive root, or a folder Windows, the user or this
// program lives in (or one holding such a folder), is left alone and named in
// one message. The window itself is CDesktopDropWnd's.
#pragma once

#include "files/DesktopDropWnd.h"
#include "framework/MessageBoxes.h"

#include <string>
#include <vector>

class CShredderIconWnd : public CDesktopDropWnd {
public:
    static constexpr const char* kTitle = "Dervane Delete Icon";

    // programFolder: a folder never deleted.
    explicit CShredderIconWnd(const std::string& programFolder);

    void SetMessageBox(MessageBoxFn messageBox) { m_messageBox = messageBox; }

    // The paths of a drop that may be deleted; refused ones go to refused
    // as lines naming the path and why.
    static std::vector<std::string> AcceptedPaths(const std::vector<std::string>& paths,
                                                  const std::string& programFolder, std::string* refused);

protected:
    void OnCreated() override;
    void HandleDrop(const std::vector<std::string>& paths) override;

private:
    std::string m_programFolder;
    MessageBoxFn m_messageBox = &SystemMessageBox;
};
