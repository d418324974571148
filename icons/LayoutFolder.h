// CLayoutFolder: the layout files in the "Positions" and "Shortcuts"
// folders of the program's folder. Every path is joined to the program
// folder, so nothing depends on the current folder. Window-free.
#pragma once

#include <string>
#include <vector>

class CLayoutFolder {
public:
    explicit CLayoutFolder(std::string programFolder);

    const std::string& ProgramFolder() const { return m_programFolder; }
    // programFolder\Positions (or Shortcuts).
    std::string FolderPath(int type) const;
    // Positions\fileName (or Shortcuts), as the hook library is told.
    std::string RelativePath(int type, const std::string& fileName) const;
    // programFolder\Positions\fileName (or Shortcuts); empty for a name that
    // is not a plain file name, which no operation below then finds.
    std::string FilePath(int type, const std::string& fileName) const;

    // The titles of the layout files of that kind (names ending in ".dvl",
    // without it), sorted without regard to case. "[original]" is never
    // listed; folders are skipped. A missing folder lists nothing.
    std::vector<std::string> ListTitles(int type) const;
    // 1 if a file (not a folder) of that name is there.
    int Exists(int type, const std::string& fileName) const;
    int Delete(int type, const std::string& fileName) const;
    // Renames within the folder; never replaces another layout (a change of
    // capitals alone is allowed). 1 on success.
    int Rename(int type, const std::string& from, const std::string& to) const;
    // Whether a shortcuts layout's shortcuts are on the desktop, from its
    // "LOADED" record: 1 on, 0 off, -1 for a missing file, a file of another
    // kind or one without the record.
    int LoadedState(const std::string& fileName) const;

private:
    std::string m_programFolder;
};
