// Reading a 10,000-entry list file the way every feature reads its list
// (header, then ENTRY_0, ENTRY_1, ... forward, GetField on every value)
// against a plain fgets loop over the same file. Prints the best time of each
// over several rounds and their ratio; the last line is "ratio: R".
#include "common/KeyedTextFile.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <process.h>
#define DERVANE_GETPID _getpid
#else
#include <unistd.h>
#define DERVANE_GETPID getpid
#endif

namespace {

const int kEntries = 10000;
const int kFields = 5;
const int kRounds = 7;

bool MakeList(const std::string& path)
{
    CKeyedTextFile f(path.c_str());
    if (!f.Create() || !f.Write("KTX_FILE", "DERVANE BENCH") || !f.Write("VERSION", "1.0"))
        return false;
    for (int i = 0; i < kEntries; i++) {
        std::string value = "C:\\Documents\\Folder " + std::to_string(i % 97) + "\\file" + std::to_string(i) +
            ".txt\t*.tmp;*.bak\t1\t0\t" + std::to_string(i * 31);
        if (!f.Write(("ENTRY_" + std::to_string(i)).c_str(), value.c_str()))
            return false;
    }
    return true;
}

// Answers the number of entries read. Each value gives GetField its last
// field (the longest scan of one call), or with allFields every field.
int ReadKeyed(const std::string& path, bool allFields, size_t* work)
{
    CKeyedTextFile f(path.c_str());
    char value[CKeyedTextFile::kLineSize];
    char field[CKeyedTextFile::kLineSize];
    if (!f.Exists() || !f.Find("KTX_FILE", value, 1))
        return 0;
    int n = 0;
    for (;; n++) {
        char key[CKeyedTextFile::kKeySize];
        CKeyedTextFile::EntryKey(n, key);
        if (!f.Find(key, value, 0))
            break;
        for (int i = allFields ? 0 : kFields - 1; i < kFields; i++)
            if (CKeyedTextFile::GetField(value, i, field))
                *work += field[0] != '\0';
    }
    return n;
}

int ReadOneField(const std::string& path, size_t* work)
{
    return ReadKeyed(path, false, work);
}

int ReadAllFields(const std::string& path, size_t* work)
{
    return ReadKeyed(path, true, work);
}

int ReadLines(const std::string& path, size_t* work)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return 0;
    char line[CKeyedTextFile::kLineSize];
    int n = 0;
    while (fgets(line, 1023, f)) {
        *work += line[0] != '\0';
        n++;
    }
    fclose(f);
    return n;
}

template <class Read> double BestMs(Read read, const std::string& path, int expected, bool* ok)
{
    double best = 1e30;
    for (int round = 0; round < kRounds; round++) {
        size_t work = 0;
        auto start = std::chrono::steady_clock::now();
        int n = read(path, &work);
        auto end = std::chrono::steady_clock::now();
        *ok = *ok && n == expected && work > 0;
        double ms = std::chrono::duration<double, std::milli>(end - start).count();
        best = ms < best ? ms : best;
    }
    return best;
}

}  // namespace

int main()
{
    std::error_code ec;
    std::filesystem::path file = std::filesystem::temp_directory_path(ec) /
        ("dervane-bench-" + std::to_string(DERVANE_GETPID()) + ".txt");
    std::string path = file.string();
    if (!MakeList(path)) {
        fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    bool ok = true;
    double lines = BestMs(ReadLines, path, kEntries + 2, &ok);
    double one = BestMs(ReadOneField, path, kEntries, &ok);
    double all = BestMs(ReadAllFields, path, kEntries, &ok);
    std::filesystem::remove(file, ec);
    if (!ok) {
        fprintf(stderr, "a reader did not read every entry\n");
        return 1;
    }
    printf("%d entries, best of %d rounds\n", kEntries, kRounds);
    printf("  %-50s %8.3f ms\n", "fgets loop over the file", lines);
    printf("  %-50s %8.3f ms  ratio %.2f\n", "Find ENTRY_n forward + GetField of each value", one, one / lines);
    printf("  %-50s %8.3f ms  ratio %.2f\n", "Find ENTRY_n forward + GetField of all 5 fields", all, all / lines);
    printf("ratio: %.2f (goal: at most 3)\n", one / lines);
    return 0;
}
