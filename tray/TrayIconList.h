// CTrayIconList: the custom tray icons in file order (the order of the Tray
// page's list and of the icons in the notification area) and their file
// "TrayIcons.txt". Window-free.
//
// TrayIcons.txt is a keyed text file titled "DERVANE TRAY ICONS", "VERSION"
// "1.0", then per entry i "ENTRY_<i>" (tipText, iconFile, iconIndex), one
// "ENTRY_<i>_ITEM_<j>" per menu item (kind, isDefault, label, path or
// command; a separator is its kind alone) and one more with the end mark
// "#%#".
#pragma once

#include "common/KeyedFileRewrite.h"
#include "tray/TrayIconEntry.h"

#include <string>
#include <vector>

class CTrayIconList {
public:
    int Count() const { return static_cast<int>(m_entries.size()); }
    TrayIconEntry& Entry(int position) { return m_entries[position]; }
    const TrayIconEntry& Entry(int position) const { return m_entries[position]; }
    std::vector<TrayIconEntry>& Entries() { return m_entries; }
    const std::vector<TrayIconEntry>& Entries() const { return m_entries; }

    // Each of these marks the list modified.
    void Add(TrayIconEntry entry);
    void Remove(int position);
    // The entries at position and position + 1 change places.
    void SwapWithNext(int position);
    void Clear() { m_entries.clear(); }

    bool IsModified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }

    // Empties the list and reads the file. A missing file gives an empty
    // list and answers 0 without a log line, as does another title, with
    // one; records that cannot be used (an unknown item kind or system
    // command) are skipped, and an entry whose items are broken off keeps
    // those before the break, with a log line (common/ListFileReader.h).
    // Answers 1 when the file was read.
    int Load(const std::string& path);
    // Whether the file read last held more than the list (kept as .bak
    // before the list replaces it).
    bool KeepsOldFile() const { return m_keepOld; }

    // When modified, writes every entry to a temporary file beside path and
    // moves it over the old file; only a whole, moved file clears the
    // modified flag. A failure is logged ("Cannot create TrayIcons.txt file")
    // and leaves the old file and the flag as they were.
    ListSaveResult Save(const std::string& path);

    // Why text cannot be kept in the file as a tip, label or path (a TAB,
    // CR or LF, or more than kListFieldChars characters, which keeps every
    // record within a line of the file), or nullptr when it can.
    static const char* FieldProblem(const std::string& text);

private:
    std::vector<TrayIconEntry> m_entries;
    bool m_modified = false;
    bool m_keepOld = false;
};
