#include "common/KeyedTextFile.h"

#include "common/Log.h"
#include "common/Utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace {
const char kCrLf[] = "\r\n";
const char kLf[] = "\n";
const char* const kOpenModes[] = {nullptr, "rb", "wb", "r+b"};

inline uint64_t Word(const char* p)
{
    uint64_t word;
    memcpy(&word, p, sizeof word);
    return word;
}

// 32 bytes at a time: most files are ASCII throughout.
bool HasNonAscii(const char* text, size_t length)
{
    size_t i = 0;
    for (; i + 32 <= length; i += 32) {
        const char* p = text + i;
        if ((Word(p) | Word(p + 8) | Word(p + 16) | Word(p + 24)) & 0x8080808080808080ull)
            return true;
    }
    for (; i < length; i++)
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return true;
    return false;
}

// The bytes at the end of text that start a character cut by its end (0 to 3).
size_t CutCharacterBytes(const char* text, size_t length)
{
    for (size_t back = 1; back <= 3 && back <= length; back++) {
        const unsigned char b = static_cast<unsigned char>(text[length - back]);
        if ((b & 0xC0) == 0x80)
            continue;
        const size_t need = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return need > back ? back : 0;
    }
    return 0;
}

// IsValidUtf8, passing over ASCII 32 bytes at a time.
bool IsValidUtf8Quick(const char* text, size_t length)
{
    size_t i = 0;
    while (i < length) {
        if (i + 32 <= length && !HasNonAscii(text + i, 32)) {
            i += 32;
            continue;
        }
        const unsigned char b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            i++;
            continue;
        }
        const size_t n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
        if (i + n > length || !IsValidUtf8(text + i, n))
            return false;
        i += n;
    }
    return true;
}

// Whether the file at path is valid UTF-8 as a whole; a file that cannot be
// read counts as valid.
bool IsUtf8File(const char* path)
{
    constexpr size_t kChunk = 16384;
    std::unique_ptr<char[]> chunk(new (std::nothrow) char[kChunk + 4]);
    FILE* f = chunk ? OpenFileUtf8(path, "rb") : nullptr;
    if (!f)
        return true;
    bool valid = true;
    size_t carried = 0;  // bytes of a character cut by the last chunk's end
    for (;;) {
        const size_t got = fread(chunk.get() + carried, 1, kChunk, f);
        const size_t length = carried + got;
        if (got == 0) {
            valid = carried == 0;
            break;
        }
        carried = CutCharacterBytes(chunk.get(), length);
        if (!IsValidUtf8Quick(chunk.get(), length - carried)) {
            valid = false;
            break;
        }
        memmove(chunk.get(), chunk.get() + length - carried, carried);
    }
    fclose(f);
    return valid;
}

const char* FileNamePart(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return path.c_str() + (slash == std::string::npos ? 0 : slash + 1);
}

}  // namespace

CKeyedTextFile::CKeyedTextFile(const char* filePath)
    : stream(nullptr), path(filePath ? filePath : ""), separator('\t'), mode(MODE_CLOSED), buffer(nullptr),
      bufferStart(0), bufferPos(0), bufferLength(0), recordStart(0), recordEnd(0), recordKept(false), keyLength(0),
      valueLength(0), lineEndBytes(0), dataStart(0), encoding(Encoding::kAscii)
{
    line[0] = '\0';
    key[0] = '\0';
    value[0] = '\0';
}

CKeyedTextFile::~CKeyedTextFile()
{
    Close();
    delete[] buffer;
}

int CKeyedTextFile::Exists()
{
    FILE* f = OpenFileUtf8(path.c_str(), "rb");
    if (!f)
        return 0;
    fclose(f);
    return 1;
}

int CKeyedTextFile::Create()
{
    FILE* f = OpenFileUtf8(path.c_str(), "wb");
    if (!f)
        return 0;
    return fclose(f) == 0 ? 1 : 0;
}

int CKeyedTextFile::Open(int newMode)
{
    stream = OpenFileUtf8(path.c_str(), kOpenModes[newMode]);
    if (!stream)
        return 0;
    mode = newMode;
    recordKept = false;
    bufferStart = 0;
    bufferPos = 0;
    bufferLength = 0;
    dataStart = 0;
    encoding = Encoding::kAscii;
    if (newMode != MODE_WRITE && Refill() && StartsWithUtf8Bom(buffer, bufferLength)) {
        dataStart = static_cast<long>(kUtf8BomSize);
        bufferPos = kUtf8BomSize;
    }
    return 1;
}

void CKeyedTextFile::Close()
{
    if (stream)
        fclose(stream);
    stream = nullptr;
    mode = MODE_CLOSED;
    recordKept = false;
    bufferStart = 0;
    bufferPos = 0;
    bufferLength = 0;
}

// Moves the reader to a file offset. An offset inside the bytes already read
// ahead needs no seek of the stream; any other is a real fseek, which in
// binary mode is exact.
int CKeyedTextFile::SeekTo(long position)
{
    if (bufferLength > 0 && position >= bufferStart && position <= bufferStart + static_cast<long>(bufferLength)) {
        bufferPos = static_cast<size_t>(position - bufferStart);
        return 1;
    }
    if (fseek(stream, position, SEEK_SET) != 0)
        return 0;
    bufferStart = position;
    bufferPos = 0;
    bufferLength = 0;
    return 1;
}

// Makes at least one unread byte available; 0 at end of file or on error.
int CKeyedTextFile::Refill()
{
    if (bufferPos < bufferLength)
        return 1;
    if (!buffer) {
        buffer = new (std::nothrow) char[kBufferSize];
        if (!buffer)
            return 0;
    }
    bufferStart += static_cast<long>(bufferLength);
    bufferPos = 0;
    bufferLength = fread(buffer, 1, kBufferSize, stream);
    CheckEncoding();
    return bufferLength > 0 ? 1 : 0;
}

// Every byte the reader takes passes through the read-ahead, so a file whose
// read-ahead never held a byte outside ASCII gave only text that reads the
// same in UTF-8 and in the older encoding. The first other byte decides for
// the whole file.
void CKeyedTextFile::CheckEncoding()
{
    if (encoding == Encoding::kAscii && HasNonAscii(buffer, bufferLength))
        DecideEncoding();
}

void CKeyedTextFile::DecideEncoding()
{
    if (IsUtf8File(path.c_str())) {
        encoding = Encoding::kUtf8;
        return;
    }
    encoding = Encoding::kLegacy;
    LogWarningFormat("Read %s in the older encoding: it is not UTF-8", FileNamePart(path));
}

// Reads one piece: up to kPieceChars characters, the line end included,
// where a CR LF pair counts as one character. *text points at the piece,
// without its line end; *endBytes tells which line end ended it (0: none, the
// piece was cut at its limit or by the end of the file). A piece that lies
// whole in the read-ahead is left there; only one that runs past it, or is
// cut at the limit, is assembled in line. 0 when nothing is left.
int CKeyedTextFile::ReadPiece(const char** text, size_t* length, int* endBytes)
{
    if (!Refill())
        return 0;
    const char* start = buffer + bufferPos;
    size_t window = std::min(bufferLength - bufferPos, static_cast<size_t>(kPieceChars));
    const char* lf = static_cast<const char*>(memchr(start, '\n', window));
    if (!lf) {
        *text = line;
        return AssemblePiece(length, endBytes);
    }
    size_t count = static_cast<size_t>(lf - start);
    bool cr = count > 0 && lf[-1] == '\r';
    *text = start;
    *length = count - (cr ? 1 : 0);
    *endBytes = cr ? 2 : 1;
    bufferPos += count + 1;
    return 1;
}

// ReadPiece for a piece that does not lie whole in the read-ahead: copies it
// into line chunk by chunk, refilling as it goes.
int CKeyedTextFile::AssemblePiece(size_t* length, int* endBytes)
{
    size_t kept = 0;  // bytes stored in line
    size_t taken = 0;  // characters counted against the limit
    *endBytes = 0;
    while (taken < static_cast<size_t>(kPieceChars) && Refill()) {
        const char* start = buffer + bufferPos;
        size_t window = std::min(bufferLength - bufferPos, kPieceChars - taken);
        const char* lf = static_cast<const char*>(memchr(start, '\n', window));
        size_t count = lf ? static_cast<size_t>(lf - start) : window;
        memcpy(line + kept, start, count);
        kept += count;
        taken += count;
        bufferPos += count;
        if (lf) {
            bufferPos++;
            // The CR before the LF was counted already: the pair is one character.
            bool cr = kept > 0 && line[kept - 1] == '\r';
            *endBytes = cr ? 2 : 1;
            kept -= cr ? 1 : 0;
            break;
        }
    }
    // A CR as the last character of a full piece is a line end if an LF follows.
    if (*endBytes == 0 && taken == static_cast<size_t>(kPieceChars) && line[kept - 1] == '\r' && Refill() &&
        buffer[bufferPos] == '\n') {
        bufferPos++;
        kept--;
        *endBytes = 2;
    }
    line[kept] = '\0';
    *length = kept;
    return 1;
}

// A key longer than 49 characters cannot be held, and cutting it could make
// it equal to a real key, so such a line is skipped like a comment. Keys are
// compared with their real length, so a key holding a NUL byte equals no key
// asked for (none holds a NUL). A value may hold NUL bytes: it is stored with
// its real length, which Replace compares, and reads as a string up to the
// first NUL.
int CKeyedTextFile::ReadRecord()
{
    const char* text = nullptr;
    size_t length = 0;
    int endBytes = 0;
    long here = bufferStart + static_cast<long>(bufferPos);
    // Find leaves the stream at the line it found, so the next search starts
    // by reading that line again: it is still in key and value.
    if (recordKept && here == recordStart && SeekTo(recordEnd))
        return 1;
    recordKept = false;
    for (;;) {
        recordStart = bufferStart + static_cast<long>(bufferPos);
        if (!ReadPiece(&text, &length, &endBytes))
            return 0;
        if (endBytes == 0 || length == 0 || text[0] == '#' || text[0] == ' ')
            continue;
        const char* tab = static_cast<const char*>(memchr(text, separator, length));
        if (!tab)
            continue;
        size_t keyBytes = static_cast<size_t>(tab - text);
        if (keyBytes >= static_cast<size_t>(kKeySize))
            continue;
        memcpy(key, text, keyBytes);
        key[keyBytes] = '\0';
        keyLength = keyBytes;
        valueLength = length - keyBytes - 1;
        memcpy(value, tab + 1, valueLength);
        value[valueLength] = '\0';
        lineEndBytes = endBytes;
        recordEnd = bufferStart + static_cast<long>(bufferPos);
        recordKept = true;
        return 1;
    }
}

bool CKeyedTextFile::BeginReading()
{
    if (mode == MODE_WRITE || mode == MODE_UPDATE)
        Close();
    if (!stream && !Open(MODE_READ))
        return false;
    mode = MODE_READ;
    return true;
}

int CKeyedTextFile::Find(const char* wanted, char* valueOut, int fromStart)
{
    if (!wanted)
        return 0;
    if (!BeginReading())
        return 0;
    if (fromStart && !SeekTo(dataStart))
        return 0;
    size_t wantedLength = strlen(wanted);
    for (;;) {
        if (!ReadRecord())
            return 0;
        if (keyLength != wantedLength || memcmp(key, wanted, wantedLength) != 0)
            continue;
        if (!SeekTo(recordStart))
            return 0;
        if (valueOut)
            CopyValue(valueOut);
        return 1;
    }
}

void CKeyedTextFile::CopyValue(char* valueOut) const
{
    if (encoding == Encoding::kLegacy) {
        const std::string text = LegacyToUtf8(value, strlen(value));
        CopyUtf8(valueOut, kLineSize, text.c_str());
    } else {
        memcpy(valueOut, value, valueLength + 1);
    }
}

int CKeyedTextFile::NextRecord(char* keyOut, char* valueOut)
{
    if (!keyOut || !valueOut)
        return 0;
    if (!BeginReading())
        return 0;
    if (!ReadRecord())
        return 0;
    memcpy(keyOut, key, keyLength + 1);
    CopyValue(valueOut);
    return 1;
}

int CKeyedTextFile::WriteHeader(const char* title)
{
    return Write("KTX_FILE", title) && Write("VERSION", "1.0") ? 1 : 0;
}

int CKeyedTextFile::HasTitle(const char* title)
{
    char found[kLineSize];
    return title && Find("KTX_FILE", found, 1) && strcmp(found, title) == 0 ? 1 : 0;
}

// A record that the reader would not give back as written is refused.
int CKeyedTextFile::IsWritableRecord(const char* k, const char* v)
{
    if (!k || !v)
        return 0;
    size_t kLength = strlen(k);
    size_t vLength = strlen(v);
    if (kLength >= static_cast<size_t>(kKeySize) || strpbrk(k, "\t\r\n") || strpbrk(v, "\r\n"))
        return 0;
    return kLength + 1 + vLength <= static_cast<size_t>(kMaxLineChars) ? 1 : 0;
}

int CKeyedTextFile::WriteLine(const char* k, const char* v, const char* lineEnd)
{
    size_t kLength = strlen(k);
    size_t vLength = strlen(v);
    size_t endLength = strlen(lineEnd);
    int ok = fwrite(k, 1, kLength, stream) == kLength;
    ok = ok && fputc(separator, stream) != EOF;
    ok = ok && fwrite(v, 1, vLength, stream) == vLength;
    ok = ok && fwrite(lineEnd, 1, endLength, stream) == endLength;
    ok = (fflush(stream) == 0) && ok;
    return ok ? 1 : 0;
}

// A stream in any other mode is closed first; no stream is opened for a
// record that could not be read back.
int CKeyedTextFile::OpenForRecord(const char* k, const char* v, int newMode)
{
    if (!IsWritableRecord(k, v))
        return 0;
    if (mode != newMode)
        Close();
    return stream || Open(newMode) ? 1 : 0;
}

int CKeyedTextFile::Write(const char* k, const char* v)
{
    if (!OpenForRecord(k, v, MODE_WRITE))
        return 0;
    return WriteLine(k, v, kCrLf);
}

int CKeyedTextFile::WriteInt(const char* k, int n)
{
    char text[16];
    snprintf(text, sizeof text, "%d", n);
    return Write(k, text);
}

int CKeyedTextFile::WriteLong(const char* k, long n)
{
    char text[24];
    snprintf(text, sizeof text, "%ld", n);
    return Write(k, text);
}

// The new line keeps the old line's own line end (LF or CR LF), so that it
// has exactly the old line's length and no byte after it changes.
int CKeyedTextFile::Replace(const char* k, const char* v)
{
    if (!OpenForRecord(k, v, MODE_UPDATE) || !SeekTo(dataStart))
        return 0;
    size_t newLength = strlen(v);
    size_t wantedLength = strlen(k);
    for (;;) {
        if (!ReadRecord())
            return 0;
        if (keyLength != wantedLength || memcmp(key, k, wantedLength) != 0 || valueLength != newLength)
            continue;
        long start = recordStart;
        // A real seek both places the write and ends the reading, as an
        // update stream needs between the two.
        bufferLength = 0;
        if (!SeekTo(start) || fflush(stream) != 0)
            return 0;
        const char* lineEnd = lineEndBytes == 2 ? kCrLf : kLf;
        int ok = WriteLine(k, v, lineEnd);
        // What was read ahead may hold the old line: the next read seeks anew.
        recordKept = false;
        bufferStart = start + static_cast<long>(strlen(k) + 1 + newLength + strlen(lineEnd));
        bufferPos = 0;
        bufferLength = 0;
        return ok;
    }
}

namespace {

// The TAB or the string end that ends the field at p. Most fields are short,
// so the first bytes are looked at one by one before the library's scan.
inline const char* FieldEnd(const char* p)
{
    for (int i = 0; i < 16; i++, p++)
        if (*p == '\t' || *p == '\0')
            return p;
    const char* tab = strchr(p, '\t');
    return tab ? tab : p + strlen(p);
}

}  // namespace

int CKeyedTextFile::GetField(const char* source, int index, char* out, size_t outSize)
{
    if (!source || index < 0 || !out || outSize == 0)
        return 0;
    const char* p = source;
    for (int number = 0; number < index; number++) {
        p = FieldEnd(p);
        if (!*p)
            return 0;  // the string ends before field number index
        p++;
    }
    if (!*p)
        return 0;  // an empty source, or an empty last field
    size_t count = std::min(static_cast<size_t>(FieldEnd(p) - p), outSize - 1);
    memcpy(out, p, count);
    out[count] = '\0';
    return 1;
}

void CKeyedTextFile::EntryKey(int n, char* out)
{
    // Digits from the right; the magnitude as unsigned so INT_MIN works too.
    char digits[12];
    int count = 0;
    unsigned int magnitude = n < 0 ? 0u - static_cast<unsigned int>(n) : static_cast<unsigned int>(n);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    memcpy(out, "ENTRY_", 6);
    int at = 6;
    if (n < 0)
        out[at++] = '-';
    while (count)
        out[at++] = digits[--count];
    out[at] = '\0';
}
