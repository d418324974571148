// Rewriting a list file whole or not at all: the records go to a temporary
// file beside it, which is moved over the old file only once every record
// was written, so a failure half way leaves the old file as it was.
#pragma once

#include "common/KeyedTextFile.h"

#include <functional>
#include <string>

// writeRecords writes every record, the header included, and answers 0 when
// one could not be written. The temporary file is flushed to the disk before
// it is moved (not when mayWait is clear, see below). Answers 1 when the new
// file stands at path. On a
// failure logs "Cannot create <name> file" (no temporary file could be made)
// or "Cannot write <name> file", removes the temporary file and answers 0.
// An old file that another program holds open for a moment is waited for a
// little, unless mayWait is clear (code in another program's process, which
// must never wait on a file): the move is then tried once.
int RewriteKeyedTextFile(const std::string& path, const std::function<int(CKeyedTextFile&)>& writeRecords,
                         bool mayWait = true);

enum class ListSaveResult { kNotChanged, kWritten, kFailed };
// A list's save: nothing when changed is clear; otherwise the file rewritten
// whole, and only a whole, moved file clears changed. A list whose fields
// could not be read back (writable false) is not written: logged as "Cannot
// create <name> file", the old file and changed left as they were. With
// keepOld set (the file was not read whole), the old file is first copied to
// "<name>.bak", replacing an older copy, and logged; when that copy cannot be
// made the list is not written at all. A whole write clears keepOld.
ListSaveResult SaveChangedList(const std::string& path, bool& changed, bool& keepOld, bool writable,
                               const std::function<int(CKeyedTextFile&)>& writeRecords);

// Copies the file at path to path + ".bak", replacing an older copy; true
// also when there is no file at path. Logged either way.
bool KeepOldListFile(const std::string& path);
