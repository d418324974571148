// Reading a list file entry by entry, going on past a damaged entry.
//
// A list file is a keyed text file with a title. Per entry n it holds the
// record "ENTRY_<n>", maybe records of the entry's own "ENTRY_<n>_<NAME>",
// and, in lists whose entries have parts, a run "ENTRY_<n>_<PART>_<j>" for
// j = 0, 1, ... closed by a record whose first field is the end mark "#%#".
// An entry is damaged when its run is broken (a record missing or out of
// order) or is not closed before the next entry or the file's end, and so
// are records of an entry whose own record is missing: a damaged entry is
// skipped (or, in a list that says so, given with the parts read before the
// damage) and logged, and the entries after it are read.
//
// What was not read whole (a file that is there but cannot be opened, has
// another title, or lost something) is logged with the file's name and why,
// and the list keeps the old file as "<name>.bak" before it next writes it
// (SaveChangedList).
#pragma once

#include "common/KeyedTextFile.h"

#include <string>
#include <utility>
#include <vector>

enum class ListFileState {
    kWhole,  // read whole
    kMissing,  // no file: nothing to keep
    kUnreadable,  // there, but it cannot be opened
    kOtherTitle,  // no list of this kind (a file of one byte, another list)
    kPartial,  // read, but something was skipped
};

// Whether the file on disk holds more than the list read from it.
inline bool MustKeepOldFile(ListFileState state)
{
    return state != ListFileState::kWhole && state != ListFileState::kMissing;
}

// The first field of the record that closes an entry's run: a part whose
// first field were this text would end the run early, so a list refuses it
// there (the file-type checks refuse it as a pattern).
inline constexpr char kListEndMark[] = "#%#";

struct ListEntry {
    int number = 0;
    std::string value;  // of "ENTRY_<n>"
    std::vector<std::pair<std::string, std::string>> named;  // "ENTRY_<n>_<NAME>": NAME, value
    std::vector<std::string> run;  // the values of the run before its end mark
};

class CListFileReader {
public:
    // runPart: "TYPE", "ACTION", "ITEM"; nullptr for a list whose entries
    // are their own record alone. keepBroken: an entry whose run is broken
    // is given with the parts before the break instead of skipped.
    CListFileReader(const std::string& path, const char* title, const char* runPart, bool keepBroken = false);

    // Opens the file and checks its title; false, logged unless the file is
    // missing, when there are no entries to read. missingText: the log line
    // of a missing file, or nullptr for none.
    bool Open(const char* missingText);
    // The next entry read whole; false at the end.
    bool Next(ListEntry& entry);
    // A list's own check found an entry unusable (skipped: true) or dropped
    // a part of it: logged as "<name>: entry <n> <what>" and counted.
    void Skipped(int number, const char* what);
    // The first value of a record outside the entries (the header, a list's
    // own records), or nullptr.
    const char* Other(const char* key) const;
    // After the last entry: logs how much was skipped, and answers the state.
    ListFileState Finish();

    const std::string& Name() const { return m_name; }

private:
    enum class Part { kTaken, kClosed, kOutOfOrder };
    Part TakePart(const char* suffix, const char* value);
    // m_current's run is broken: logged; true when it is given in entry
    // (keepBroken), false when skipped.
    bool Broken(ListEntry& entry, const char* why);
    void AddOther(const char* key, const char* value);

    CKeyedTextFile m_file;
    std::string m_path;
    std::string m_name;
    const char* m_title;
    bool m_keepBroken;
    std::string m_runPrefix;  // "_<PART>_", or empty
    ListFileState m_state = ListFileState::kMissing;
    std::vector<std::pair<std::string, std::string>> m_others;
    ListEntry m_current;
    bool m_open = false;  // m_current's record was read and its run is not closed yet
    int m_strayNumber = -1;  // the entry whose records were last found without it
    int m_skipped = 0;
};
