// "Respond.log" in the program folder: one line per action the engine
// performed, refused or failed. It never grows beyond its limit: when a line
// would take it beyond, the older half of its lines is dropped, the rest
// written to a temporary file that is then moved over the log.
#pragma once

#include <cstddef>
#include <string>

class CRespondLog {
public:
    static constexpr size_t kDefaultLimit = 1024 * 1024;

    void SetFolder(const std::string& folder, size_t limit = kDefaultLimit);
    const std::string& Path() const { return m_path; }
    // Appends "<local time>  <text>" and CR LF; answers false when the line
    // could not be written (nowhere else to report it).
    bool Write(const std::string& text);

private:
    bool DropOlderHalf(size_t room);

    std::string m_path;
    size_t m_limit = kDefaultLimit;
};
