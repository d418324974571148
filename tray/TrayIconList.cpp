#include "tray/TrayIconList.h"

#include "common/KeyedFileRewrite.h"
#include "common/KeyedTextFile.h"
#include "common/ListFileReader.h"
#include "common/ListFields.h"
#include "common/Log.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {
const char kTitle[] = "DERVANE TRAY ICONS";

std::string Field(const char* value, int index)
{
    std::string out;
    TakeListField(value, index, out);
    return out;
}

void ItemKey(int entry, int item, char* out)
{
    snprintf(out, CKeyedTextFile::kKeySize, "ENTRY_%d_ITEM_%d", entry, item);
}

// The item of a record's value, or false for a kind or command the program
// does not know (a file from elsewhere, or edited by hand).
bool ReadItem(const char* value, TrayMenuItem& item)
{
    const int32_t kind = ListIntField(value, 0, -1);
    if (kind < kTrayItemProgram || kind > kTrayItemSeparator)
        return false;
    item.kind = static_cast<TrayItemKind>(kind);
    if (kind == kTrayItemSeparator)
        return true;
    // The flag is kept as one byte: its low byte decides.
    item.isDefault = (ListIntField(value, 1, 0) & 0xFF) != 0;
    item.label = Field(value, 2);
    if (kind == kTrayItemSystemCommand) {
        const int32_t command = ListIntField(value, 3, 0);
        if (command < 0 || command >= kTraySystemCommandCount)
            return false;
        item.command = static_cast<TraySystemCommand>(command);
    } else {
        item.path = Field(value, 3);
    }
    return true;
}

// The menu items of an entry's run; one of unknown kind or command is left
// out, logged.
void ReadItems(const ListEntry& entry, CListFileReader& reader, TrayIconEntry& icon)
{
    for (const std::string& value : entry.run) {
        TrayMenuItem item;
        if (ReadItem(value.c_str(), item))
            icon.items.push_back(std::move(item));
        else
            reader.Skipped(entry.number, "lost a menu item of unknown kind or command");
    }
}

std::string ItemValue(const TrayMenuItem& item)
{
    const std::string kind = std::to_string(item.kind);
    if (item.kind == kTrayItemSeparator)
        return kind;
    const std::string head = kind + '\t' + (item.isDefault ? "1" : "0") + '\t' + item.label + '\t';
    if (item.kind == kTrayItemSystemCommand)
        return head + std::to_string(item.command);
    return head + item.path;
}

int WriteRecords(CKeyedTextFile& file, const std::vector<TrayIconEntry>& entries)
{
    if (!file.WriteHeader(kTitle))
        return 0;
    char key[CKeyedTextFile::kKeySize];
    for (size_t i = 0; i < entries.size(); i++) {
        const TrayIconEntry& entry = entries[i];
        const int n = static_cast<int>(i);
        CKeyedTextFile::EntryKey(n, key);
        const std::string value = entry.tipText + '\t' + entry.iconFile + '\t' + std::to_string(entry.iconIndex);
        if (!file.Write(key, value.c_str()))
            return 0;
        for (size_t j = 0; j < entry.items.size(); j++) {
            ItemKey(n, static_cast<int>(j), key);
            if (!file.Write(key, ItemValue(entry.items[j]).c_str()))
                return 0;
        }
        ItemKey(n, static_cast<int>(entry.items.size()), key);
        if (!file.Write(key, kListEndMark))
            return 0;
    }
    return 1;
}

bool Writable(const std::vector<TrayIconEntry>& entries)
{
    for (const TrayIconEntry& entry : entries) {
        if (CTrayIconList::FieldProblem(entry.tipText) || CTrayIconList::FieldProblem(entry.iconFile))
            return false;
        for (const TrayMenuItem& item : entry.items) {
            if (CTrayIconList::FieldProblem(item.label) || CTrayIconList::FieldProblem(item.path))
                return false;
        }
    }
    return true;
}
}  // namespace

void CTrayIconList::Add(TrayIconEntry entry)
{
    m_entries.push_back(std::move(entry));
    m_modified = true;
}

void CTrayIconList::Remove(int position)
{
    if (position < 0 || position >= Count())
        return;
    m_entries.erase(m_entries.begin() + position);
    m_modified = true;
}

void CTrayIconList::SwapWithNext(int position)
{
    if (position < 0 || position + 1 >= Count())
        return;
    std::swap(m_entries[position], m_entries[position + 1]);
    m_modified = true;
}

int CTrayIconList::Load(const std::string& path)
{
    m_entries.clear();
    m_modified = false;
    CListFileReader reader(path, kTitle, "ITEM", true);
    const bool open = reader.Open(nullptr);
    ListEntry entry;
    while (reader.Next(entry)) {
        TrayIconEntry icon;
        const char* value = entry.value.c_str();
        icon.tipText = Field(value, 0);
        icon.iconFile = Field(value, 1);
        icon.iconIndex = ListIntField(value, 2, 0);
        ReadItems(entry, reader, icon);
        m_entries.push_back(std::move(icon));
    }
    m_keepOld = MustKeepOldFile(reader.Finish());
    return open ? 1 : 0;
}

ListSaveResult CTrayIconList::Save(const std::string& path)
{
    return SaveChangedList(path, m_modified, m_keepOld, Writable(m_entries),
                           [this](CKeyedTextFile& file) { return WriteRecords(file, m_entries); });
}

const char* CTrayIconList::FieldProblem(const std::string& text)
{
    return ListFieldProblem(text);
}
