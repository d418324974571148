#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// One list or layout file of records "KEY<TAB>VALUE<CR LF>".
//
// The stream is always opened in binary mode and every line end is written as
// CR LF by this class, so both builds produce the same bytes and the positions
// that Find remembers are exact. Readers accept CR LF and LF line ends; a CR LF
// pair counts as one character of a line, so a line holds at most
// kMaxLineChars characters before its line end whichever line end it has.
//
// Files are UTF-8, written without a byte-order mark; a mark at the start of
// a file (Notepad writes one) is skipped. A file that is not valid UTF-8 as a
// whole was written by an earlier version in the system's code page for
// non-Unicode programs: Find gives its values as UTF-8 all the same, and the
// log says the file was read in that older encoding. Reading never rewrites
// a file; Replace writes its value as given (keep it ASCII).
class CKeyedTextFile final {
public:
    static constexpr int kLineSize = 1024;  // line and value buffers
    static constexpr int kKeySize = 50;  // key buffer: keys up to 49 characters
    static constexpr int kPieceChars = 1022;  // longest piece read, line end included
    static constexpr int kMaxLineChars = kPieceChars - 1;

    // Modes of the stream.
    enum { MODE_CLOSED = 0, MODE_READ = 1, MODE_WRITE = 2, MODE_UPDATE = 3 };

    explicit CKeyedTextFile(const char* path);
    ~CKeyedTextFile();
    CKeyedTextFile(const CKeyedTextFile&) = delete;
    CKeyedTextFile& operator=(const CKeyedTextFile&) = delete;

    // 1 if the file can be opened for reading.
    int Exists();
    // Creates the file or cuts it to length 0; 1 on success.
    int Create();
    // Appends one record and flushes it. Answers 0 when the file cannot be
    // opened or written, and also, writing nothing, when the record could not
    // be read back as written: a key of more than 49 characters or holding a
    // TAB or a line end, a value holding a line end, or a line longer than
    // kMaxLineChars characters.
    int Write(const char* key, const char* value);
    int WriteInt(const char* key, int n);
    int WriteLong(const char* key, long n);
    // Searches forward (from the start of the file if fromStart is set) for
    // the first record with this key; copies its value into valueOut, which
    // must hold kLineSize bytes, and leaves the stream at the start of that
    // record's line, so the next search starts with it.
    int Find(const char* key, char* valueOut, int fromStart);
    // The next record in file order, from where the last read or search left
    // the stream (the first record of a file not read yet): its key into
    // keyOut (kKeySize bytes), its value as Find gives it into valueOut
    // (kLineSize bytes). 0 at the end of the file.
    int NextRecord(char* keyOut, char* valueOut);
    // The header records every file of the program starts with: "KTX_FILE"
    // with the file's title, then "VERSION" "1.0". 1 when both were written.
    int WriteHeader(const char* title);
    // 1 when the file's "KTX_FILE" record, looked up from the start, holds
    // exactly title.
    int HasTitle(const char* title);
    // Overwrites in place the first record with this key whose value is
    // exactly as long as the new one.
    int Replace(const char* key, const char* value);
    // Copies field number index (from 0) of a TAB-separated string into out,
    // which holds outSize bytes; a longer field is cut to outSize - 1 bytes.
    // 0 when the field does not exist (out is left as it was).
    static int GetField(const char* source, int index, char* out, size_t outSize = kLineSize);
    // The key of entry n, "ENTRY_<n>" (as "%d" writes n), into out, which
    // holds kKeySize bytes.
    static void EntryKey(int n, char* out);

    int GetMode() const { return mode; }
    // Whether the open file was found to be in the older encoding (known
    // once a byte outside ASCII was read; a file of ASCII alone reads the
    // same either way).
    bool IsLegacy() const { return encoding == Encoding::kLegacy; }

private:
    static constexpr size_t kBufferSize = 16384;

    // Reads the next record into key and value, skipping lines that are not
    // records; 0 at end of file.
    int ReadRecord();
    void CopyValue(char* valueOut) const;
    // Ends a write, opens the file for reading if it is not open: false when
    // it cannot be read.
    bool BeginReading();
    int Open(int newMode);
    void Close();
    int SeekTo(long position);
    int Refill();
    int ReadPiece(const char** text, size_t* length, int* endBytes);
    int AssemblePiece(size_t* length, int* endBytes);
    int OpenForRecord(const char* k, const char* v, int newMode);
    int WriteLine(const char* k, const char* v, const char* lineEnd);
    static int IsWritableRecord(const char* k, const char* v);
    void CheckEncoding();
    void DecideEncoding();

    FILE* stream;
    std::string path;
    char separator;
    int mode;
    char line[kLineSize];  // a piece assembled across the read-ahead's end or cut at its limit
    char key[kKeySize];
    char value[kLineSize];

    // Bytes read from the stream ahead of the reader, so that a piece is
    // taken with memchr rather than character by character. The file offset
    // of the next unread byte is always bufferStart + bufferPos.
    char* buffer;  // owned, allocated on the first read
    long bufferStart;
    size_t bufferPos;
    size_t bufferLength;
    // Of the last record read: the file offset where its line starts (not
    // that of a skipped line before it, so Replace writes over the record
    // itself) and where the next line starts; whether key and value still
    // hold it (recordKept); the lengths in bytes of its key and value (either
    // may hold NUL bytes); the bytes of its line end (1 for LF, 2 for CR LF).
    long recordStart;
    long recordEnd;
    bool recordKept;
    size_t keyLength;
    size_t valueLength;
    int lineEndBytes;
    // Where the records start: past a byte-order mark, if the file has one.
    long dataStart;
    // Of the open file: kAscii while every byte read was ASCII; decided over
    // the whole file at the first other byte.
    enum class Encoding { kAscii, kUtf8, kLegacy };
    Encoding encoding;
};
