// Every "Property ..." registry value of the program: its name, type, size and
// default, and where it lives in the settings block. Window-free, so the table
// and the block mapping build and are tested natively as well.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hook/HookProtocol.h"

enum class PropertyKind : uint8_t {
    kBinary,  // REG_BINARY of exactly `size` bytes
    kText,  // REG_SZ, written with its terminating NUL
};

// The values a caller loads and writes together, in the order they are written.
enum class PropertyGroup : uint8_t {
    kGeneral,  // enabled, run on boot, exit on load
    kFirstTime,  // stored once the sheet was shown at the first start
    kIcon,  // the Icons page's nine binary values
};

constexpr int kNotInBlock = -1;

struct PropertyValue {
    const char* name;
    PropertyKind kind;
    uint32_t size;  // bytes of a binary value; 0 for texts
    uint32_t defaultLow;  // binary default, little-endian: bytes 0 to 3
    uint32_t defaultHigh;  // bytes 4 to 7 (positions: y)
    const char* defaultText;  // text default; nullptr for binary values
    int blockOffset;  // offset in SettingsBlock, or kNotInBlock
    uint32_t blockBytes;  // bytes of a read value that go into the block
};

extern const PropertyValue kPropertyValues[];
extern const size_t kPropertyValueCount;

// Largest binary value of the table, for callers' fixed buffers.
constexpr uint32_t kMaxPropertySize = 8;

// The table entry of that name (exact, case-sensitive), or nullptr.
const PropertyValue* FindPropertyValue(const char* name);

// The entries of a group in write order; count receives their number.
const PropertyValue* const* PropertyGroupValues(PropertyGroup group, size_t* count);

// The value's default as stored bytes (value.size of them are meaningful).
void PropertyDefaultBytes(const PropertyValue& value, uint8_t out[kMaxPropertySize]);

// Puts the default of one block value into the block; 0 if it has no place there.
int SetPropertyDefault(const PropertyValue& value, SettingsBlock* block);

// Takes a value read from the registry (value.size bytes) into the block:
// only value.blockBytes of them are used. 0 if it has no place there.
int TakePropertyIntoBlock(const PropertyValue& value, const uint8_t* bytes, SettingsBlock* block);

// The value.size bytes to store for a block value, read from the block at its
// offset, or nullptr if it has no place there.
const uint8_t* PropertyBytesInBlock(const PropertyValue& value, const SettingsBlock& block);

// A block with every field cleared and every block value at its default.
void SetDefaultSettings(SettingsBlock* block);
