// Arbitrary bytes as a list file. The reader's searches, fields and in-place
// replacement must never overrun a buffer, and must agree with a plain
// character-by-character reading of the same bytes: the same records found
// forward, and Replace changing exactly the bytes of the value it replaced.
// A file that is not UTF-8 as a whole gives its values converted from the
// older encoding; a byte-order mark at its start is passed over.
#include "common/KeyedTextFile.h"
#include "common/Utf8.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Record {
    std::string key;
    size_t valueAt;  // file offset of the value
    std::string value;  // all its bytes, NULs included
};

// The records of the file as the line rules read them, one byte at a time.
std::vector<Record> ReadReference(const std::string& bytes)
{
    std::vector<Record> records;
    size_t pos = StartsWithUtf8Bom(bytes.data(), bytes.size()) ? kUtf8BomSize : 0;
    while (pos < bytes.size()) {
        size_t start = pos;
        std::string piece;
        bool ended = false;
        while (piece.size() < 1022 && pos < bytes.size()) {
            if (bytes[pos] == '\n' || (bytes[pos] == '\r' && pos + 1 < bytes.size() && bytes[pos + 1] == '\n')) {
                pos += bytes[pos] == '\n' ? 1 : 2;
                ended = true;
                break;
            }
            piece += bytes[pos++];
        }
        size_t tab = piece.find('\t');
        if (!ended || piece.empty() || piece[0] == '#' || piece[0] == ' ' || tab == std::string::npos || tab >= 50)
            continue;
        records.push_back(Record{piece.substr(0, tab), start + tab + 1, piece.substr(tab + 1)});
    }
    return records;
}

// The first record with this key from index from on; records.size() if none.
size_t FindReference(const std::vector<Record>& records, const std::string& key, size_t from)
{
    while (from < records.size() && records[from].key != key)
        from++;
    return from;
}

void Check(bool condition)
{
    if (!condition)
        abort();
}

void SplitFields(const char* value)
{
    std::vector<char> field(CKeyedTextFile::kLineSize);  // exact size, on the heap
    for (int i = 0; i < 8; i++)
        CKeyedTextFile::GetField(value, i, field.data());
    Check(!CKeyedTextFile::GetField(value, 1 << 20, field.data()));
    char tiny[3];
    CKeyedTextFile::GetField(value, 0, tiny, sizeof tiny);
}

std::string ReadAll(const char* path)
{
    std::string bytes;
    FILE* f = fopen(path, "rb");
    Check(f != nullptr);
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.append(chunk, n);
    fclose(f);
    return bytes;
}

// A record's value as Find gives it: up to its first NUL, converted and cut
// on a character boundary when the file is in the older encoding.
std::string Expected(const std::string& bytes, const Record& record)
{
    const std::string value = record.value.c_str();
    if (IsValidUtf8(bytes.data(), bytes.size()))
        return value;
    std::vector<char> out(CKeyedTextFile::kLineSize);
    CopyUtf8(out.data(), out.size(), LegacyToUtf8(value.data(), value.size()).c_str());
    return out.data();
}

// The header, then ENTRY_0, ENTRY_1, ... forward, as every reader does.
void ReadForward(CKeyedTextFile& file, const std::string& bytes, const std::vector<Record>& records)
{
    std::vector<char> value(CKeyedTextFile::kLineSize);
    size_t at = FindReference(records, "KTX_FILE", 0);
    // Without a header the stream stays at the end: no entry is found after.
    Check(file.Find("KTX_FILE", value.data(), 1) == (at < records.size()));
    for (int i = 0; i < 12; i++) {
        char key[CKeyedTextFile::kKeySize];
        CKeyedTextFile::EntryKey(i, key);
        at = FindReference(records, key, at);
        int found = file.Find(key, value.data(), 0);
        Check(found == (at < records.size()));
        if (!found)
            break;
        Check(Expected(bytes, records[at]) == value.data());
        SplitFields(value.data());
    }
}

// Replace must change exactly the value's bytes of the first record with
// that key and that value length.
void ReplaceChecked(const char* path, CKeyedTextFile& file, const std::vector<Record>& records, std::string& bytes,
                    const std::string& keyBytes, size_t length)
{
    std::string key = keyBytes.c_str();  // what the class is given of a key holding a NUL
    size_t at = 0;
    while (at < records.size() && (records[at].key != key || records[at].value.size() != length))
        at++;
    std::string value(length, 'r');
    int replaced = file.Replace(key.c_str(), value.c_str());
    bool writable = key.size() < 50 && key.find_first_of("\t\r\n") == std::string::npos;
    Check(replaced == (at < records.size() && writable));
    if (replaced)
        bytes.replace(records[at].valueAt, length, value);
    Check(ReadAll(path) == bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string temp = "/tmp/dervane-fuzz-keyed-" + std::to_string(getpid()) + ".txt";
    const char* path = temp.c_str();
    std::string bytes(reinterpret_cast<const char*>(data), size);
    FILE* f = fopen(path, "wb");
    Check(f != nullptr);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    {
        std::vector<Record> records = ReadReference(bytes);
        CKeyedTextFile file(path);
        ReadForward(file, bytes, records);
        if (!records.empty()) {
            const Record& first = records[0];
            ReplaceChecked(path, file, records, bytes, first.key, first.value.size());
            records = ReadReference(bytes);
        }
        ReplaceChecked(path, file, records, bytes, "ENTRY_1", 1);
        records = ReadReference(bytes);
        ReadForward(file, bytes, records);
    }
    // libFuzzer ends without running exit handlers: remove the file each time.
    remove(path);
    return 0;
}
