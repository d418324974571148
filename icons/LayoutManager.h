// CLayoutManager: what the "Layouts" group of the Icons page does with the
// names the user gives it: saving, loading, deleting, renaming and iconifying
// layouts, the "[original]" layout and the default layout. Window-free: the
// page gives it an ILayoutHost for the hook library, the questions and the
// messages, and keeps only the controls.
#pragma once

#include "icons/LayoutFolder.h"

#include <string>

enum class LayoutQuestion {
    kReplace,  // "Confirm", Yes/No, warning icon, No as default
    kSaveShortcuts,  // "Confirm Save", OK/Cancel, information icon
    kDelete,  // "Confirm", Yes/No, warning icon, No as default
};

class ILayoutHost {
public:
    virtual ~ILayoutHost() = default;
    // Sends a request to the hook library; answers its answer.
    virtual unsigned long SendLayoutRequest(int code, const std::string& text) = 0;
    virtual void ScreenSize(int* width, int* height) = 0;
    // The number of desktop icons and of the selected ones.
    virtual void SelectedIconCount(int* total, int* selected) = 0;
    // Answers true for Yes (or OK).
    virtual bool Ask(LayoutQuestion question, const std::string& text) = 0;
    // An "Error" box.
    virtual void ShowError(const std::string& text) = 0;
    // Writes the default layout to the registry.
    virtual void StoreDefaultLayout(const std::string& name) = 0;
};

extern const char kSaveLayoutError[];
extern const char kLoadLayoutError[];
extern const char kDeleteLayoutQuestion[];
extern const char kDeleteLayoutError[];
extern const char kRenameLayoutError[];

class CLayoutManager {
public:
    CLayoutManager(const std::string& programFolder, ILayoutHost& host);

    const CLayoutFolder& Folder() const { return m_folder; }
    const std::string& DefaultLayout() const { return m_defaultLayout; }
    // The default layout as read from the registry; not stored again.
    void SetDefaultLayout(const std::string& name) { m_defaultLayout = name; }

    // Has the hook library save the desktop as a layout: an empty name saves
    // the layout of the screen size. Unless silent, asks before replacing a
    // layout and shows failures. 1 when the layout was saved.
    int SaveLayout(const std::string& name, int type, bool silent);
    // Has the hook library load a layout (toggle, for a shortcuts layout).
    int LoadLayout(const std::string& name, int type, bool silent);

    // The buttons. Each answers 1 when the layout list changed.
    int SaveButton(const std::string& name, int type);
    int DeleteButton(const std::string& name, int type);
    int RenameButton(const std::string& selectedTitle, const std::string& newName, int type);
    void IconifyButton(const std::string& name, int type);
    // The current desktop becomes the layout restored at exit.
    void OriginalButton();

    // At start: save "[original]", then load the default layout.
    void StartUp();
    // At exit and at the end of a Windows session.
    void RestoreOriginal();
    // The hook library loaded a layout: a positions layout other than
    // "[original]" becomes the default layout. 1 when it did.
    int LayoutLoaded(int type, const std::string& fileName);

private:
    // The file name for name, checked; shows (or, silent, logs) why a name
    // is refused and answers empty then.
    std::string CheckedFileName(const std::string& name, bool silent);

    CLayoutFolder m_folder;
    ILayoutHost& m_host;
    std::string m_defaultLayout;
};
