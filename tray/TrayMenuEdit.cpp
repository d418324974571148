#include "tray/TrayMenuEdit.h"

#include "common/ListFields.h"

#include <utility>

namespace {
const char kSeparatorLine[] = "----------------------------------------";
}  // namespace

TrayMenuItem CTrayMenuEdit::Normalised(TrayMenuItem item, int position)
{
    if (item.kind == kTrayItemSeparator) {
        const TrayItemKind kind = item.kind;
        item = TrayMenuItem();
        item.kind = kind;
    }
    if (item.isDefault) {
        for (int i = 0; i < Count(); ++i) {
            if (i != position)
                m_items[static_cast<size_t>(i)].isDefault = false;
        }
    }
    return item;
}

void CTrayMenuEdit::Add(TrayMenuItem item)
{
    TrayMenuItem kept = Normalised(std::move(item), -1);
    m_items.push_back(std::move(kept));
}

void CTrayMenuEdit::Replace(int position, TrayMenuItem item)
{
    if (position < 0 || position >= Count())
        return;
    TrayMenuItem kept = Normalised(std::move(item), position);
    m_items[static_cast<size_t>(position)] = std::move(kept);
}

void CTrayMenuEdit::Remove(int position)
{
    if (position >= 0 && position < Count())
        m_items.erase(m_items.begin() + position);
}

void CTrayMenuEdit::SwapWithNext(int position)
{
    if (position >= 0 && position + 1 < Count())
        std::swap(m_items[static_cast<size_t>(position)], m_items[static_cast<size_t>(position) + 1]);
}

std::string CTrayMenuEdit::LineText(const TrayMenuItem& item)
{
    return item.kind == kTrayItemSeparator ? kSeparatorLine : item.label;
}

std::string CTrayMenuEdit::Problem(const TrayMenuItem& item)
{
    if (item.kind == kTrayItemSeparator)
        return std::string();
    if (const char* problem = ListFieldProblem(item.label))
        return std::string("The label ") + problem + ".";
    const char* what = item.kind == kTrayItemFolder ? "The folder's path " : "The file's path ";
    if (item.kind != kTrayItemSystemCommand) {
        if (const char* problem = ListFieldProblem(item.path))
            return what + std::string(problem) + ".";
    }
    return std::string();
}

std::string CTrayMenuEdit::LabelFor(const std::string& path, bool isFolder)
{
    std::string name = path;
    while (name.size() > 1 && (name.back() == '\\' || name.back() == '/'))
        name.pop_back();
    const size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos && slash + 1 < name.size())
        name = name.substr(slash + 1);
    if (!isFolder) {
        const size_t dot = name.find_last_of('.');
        if (dot != std::string::npos && dot > 0)
            name.erase(dot);
    }
    return name;
}
