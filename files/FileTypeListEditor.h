// CFileTypeListEditor: the file-type list of a dialog, a field, a sorted
// list box and the buttons "Add", "Replace" and "Delete", shared by the
// deletion task editor and the backup configuration editor. The dialog
// hands it its controls' notifications.
#pragma once

#include "framework/Dialog.h"
#include "framework/MessageBoxes.h"

#include <string>
#include <vector>

class CFileTypeListEditor {
public:
    struct Controls {
        int field;
        int list;
        int add;
        int replace;
        int remove;
    };

    CFileTypeListEditor(CDialog& dialog, const Controls& controls);
    void SetMessageBox(MessageBoxFn messageBox) { m_messageBox = messageBox; }

    // Empties the list and adds the patterns; Add, Replace and Delete off.
    void Fill(const std::vector<std::string>& patterns);
    // The patterns in list order (sorted).
    std::vector<std::string> Patterns() const;
    bool IsEmpty() const;
    // Adds one pattern as "Add" does, unchecked.
    void AddPattern(const std::string& pattern);
    // Handles a notification of one of its controls; false for the others.
    bool OnCommand(UINT id, UINT code);

private:
    int Selected() const;
    void EnableSelectionButtons(bool enabled);
    // The field's pattern, or empty after telling why it cannot be stored.
    std::string AcceptedField();
    void OnSelectionChange();
    void OnAdd();
    void OnReplace();
    void OnDelete();

    CDialog& m_dialog;
    Controls m_ids;
    MessageBoxFn m_messageBox;
};
