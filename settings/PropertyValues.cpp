#include "settings/PropertyValues.h"

#include <cstring>

namespace {

constexpr PropertyKind B = PropertyKind::kBinary;
constexpr PropertyKind T = PropertyKind::kText;

#define BLOCK(field) static_cast<int>(offsetof(SettingsBlock, field))

}  // namespace

const PropertyValue kPropertyValues[] = {
    // name, kind, size, default low, default high, default text, block offset, block bytes
    {"Property General Enabled", B, 1, 1, 0, nullptr, BLOCK(enabled), 1},
    {"Property General Run On Boot", B, 1, 1, 0, nullptr, BLOCK(runOnBoot), 1},
    {"Property General Exit On Load", B, 1, 0, 0, nullptr, BLOCK(exitOnLoad), 1},
    {"Property General First Time", B, 1, 1, 0, nullptr, BLOCK(firstTime), 1},
    {"Property Icon Hide Enabled", B, 1, 0, 0, nullptr, BLOCK(hideEnabled), 1},
    // Written as the four block bytes from the style on; only the style is read back.
    {"Property Icon Style", B, 4, 0, 0, nullptr, BLOCK(iconStyle), 1},
    {"Property Icon Restore On Res", B, 1, 1, 0, nullptr, BLOCK(restoreOnRes), 1},
    {"Property Icon Adjust By Pixel", B, 1, 1, 0, nullptr, BLOCK(adjustByPixel), 1},
    {"Property Icon List Type", B, 1, 0, 0, nullptr, BLOCK(listType), 1},
    {"Property Icon Text Background Color", B, 4, 0x00000000, 0, nullptr, BLOCK(textBackground), 4},
    {"Property Icon Text Foreground Color", B, 4, 0x00FFFFFF, 0, nullptr, BLOCK(textForeground), 4},
    {"Property Icon Text Background", B, 1, 1, 0, nullptr, BLOCK(textBackgroundOpaque), 1},
    {"Property Icon Pos Default Layout", T, 0, 0, 0, "", kNotInBlock, 0},
    {"Property Delete Desktop Icon", B, 1, 1, 0, nullptr, kNotInBlock, 0},
    {"Property Delete Desktop Icon Pos", B, 8, 0, 0, nullptr, kNotInBlock, 0},
    {"Property Delete AutoDel Enabled", B, 1, 0, 0, nullptr, kNotInBlock, 0},
    {"Property Delete AutoDel At Start", B, 1, 0, 0, nullptr, kNotInBlock, 0},
    {"Property Delete AutoDel Days", B, 4, 0, 0, nullptr, kNotInBlock, 0},
    {"Property Delete AutoDel Hours", B, 4, 0, 0, nullptr, kNotInBlock, 0},
    {"Property Delete AutoDel Minutes", B, 4, 0, 0, nullptr, kNotInBlock, 0},
    {"Property Delete AutoDel Seconds", B, 4, 0, 0, nullptr, kNotInBlock, 0},
    {"Property Delete AutoDel Last Action", B, 4, 0, 0, nullptr, kNotInBlock, 0},
    {"Property Backup Desktop Icon", B, 1, 1, 0, nullptr, kNotInBlock, 0},
    {"Property Backup Desktop Icon Pos", B, 8, 50, 0, nullptr, kNotInBlock, 0},
    {"Property Respond Enabled", B, 1, 0, 0, nullptr, kNotInBlock, 0},
    {"Property Respond List Sort", B, 1, 0, 0, nullptr, kNotInBlock, 0},
    {"Property Respond List Column Widths", T, 0, 0, 0, "162,162", kNotInBlock, 0},
    {"Property Tray Enabled", B, 1, 1, 0, nullptr, kNotInBlock, 0},
    // Added after the others, so that the entries above keep their places.
    {"Property Icon Keep Screen Layouts", B, 1, 1, 0, nullptr, BLOCK(keepSnapshots), 1},
};

#undef BLOCK

const size_t kPropertyValueCount = sizeof kPropertyValues / sizeof kPropertyValues[0];

const PropertyValue* FindPropertyValue(const char* name)
{
    if (!name)
        return nullptr;
    for (const PropertyValue& value : kPropertyValues) {
        if (strcmp(value.name, name) == 0)
            return &value;
    }
    return nullptr;
}

namespace {

const PropertyValue* const kGeneralValues[] = {&kPropertyValues[0], &kPropertyValues[1], &kPropertyValues[2]};
const PropertyValue* const kFirstTimeValues[] = {&kPropertyValues[3]};
// The Icons page writes the label background flag second, and the snapshot
// switch last.
const PropertyValue* const kIconValues[] = {&kPropertyValues[4], &kPropertyValues[11], &kPropertyValues[5],
                                            &kPropertyValues[6], &kPropertyValues[7],  &kPropertyValues[8],
                                            &kPropertyValues[9], &kPropertyValues[10], &kPropertyValues[28]};

bool FitsBlock(const PropertyValue& value, uint32_t bytes)
{
    return value.kind == PropertyKind::kBinary && value.blockOffset >= 0 &&
        static_cast<size_t>(value.blockOffset) + bytes <= sizeof(SettingsBlock);
}

}  // namespace

const PropertyValue* const* PropertyGroupValues(PropertyGroup group, size_t* count)
{
    switch (group) {
    case PropertyGroup::kGeneral: *count = sizeof kGeneralValues / sizeof kGeneralValues[0]; return kGeneralValues;
    case PropertyGroup::kFirstTime:
        *count = sizeof kFirstTimeValues / sizeof kFirstTimeValues[0];
        return kFirstTimeValues;
    case PropertyGroup::kIcon: *count = sizeof kIconValues / sizeof kIconValues[0]; return kIconValues;
    }
    *count = 0;
    return nullptr;
}

void PropertyDefaultBytes(const PropertyValue& value, uint8_t out[kMaxPropertySize])
{
    for (unsigned i = 0; i < 4; ++i) {
        out[i] = static_cast<uint8_t>(value.defaultLow >> (8 * i));
        out[4 + i] = static_cast<uint8_t>(value.defaultHigh >> (8 * i));
    }
}

int SetPropertyDefault(const PropertyValue& value, SettingsBlock* block)
{
    uint8_t bytes[kMaxPropertySize];
    PropertyDefaultBytes(value, bytes);
    return TakePropertyIntoBlock(value, bytes, block);
}

int TakePropertyIntoBlock(const PropertyValue& value, const uint8_t* bytes, SettingsBlock* block)
{
    if (!FitsBlock(value, value.blockBytes) || value.blockBytes > value.size)
        return 0;
    memcpy(reinterpret_cast<uint8_t*>(block) + value.blockOffset, bytes, value.blockBytes);
    return 1;
}

const uint8_t* PropertyBytesInBlock(const PropertyValue& value, const SettingsBlock& block)
{
    if (!FitsBlock(value, value.size))
        return nullptr;
    return reinterpret_cast<const uint8_t*>(&block) + value.blockOffset;
}

void SetDefaultSettings(SettingsBlock* block)
{
    memset(block, 0, sizeof *block);
    for (const PropertyValue& value : kPropertyValues)
        SetPropertyDefault(value, block);
}
