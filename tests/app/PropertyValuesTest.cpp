#include "settings/PropertyValues.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

SettingsBlock Defaults()
{
    SettingsBlock block;
    memset(&block, 0xEE, sizeof block);
    SetDefaultSettings(&block);
    return block;
}

std::vector<const PropertyValue*> Group(PropertyGroup group)
{
    size_t count = 0;
    const PropertyValue* const* values = PropertyGroupValues(group, &count);
    return std::vector<const PropertyValue*>(values, values + count);
}

}  // namespace

TEST(PropertyValues, TableIsWellFormed)
{
    std::set<std::string> names;
    std::vector<bool> blockBytesUsed(sizeof(SettingsBlock), false);
    for (size_t i = 0; i < kPropertyValueCount; ++i) {
        const PropertyValue& value = kPropertyValues[i];
        SCOPED_TRACE(value.name);
        EXPECT_EQ(std::string(value.name).rfind("Property ", 0), 0u);
        EXPECT_TRUE(names.insert(value.name).second) << "duplicate name";
        EXPECT_EQ(FindPropertyValue(value.name), &value);
        if (value.kind == PropertyKind::kText) {
            EXPECT_EQ(value.size, 0u);
            EXPECT_NE(value.defaultText, nullptr);
            EXPECT_EQ(value.blockOffset, kNotInBlock);
            continue;
        }
        EXPECT_TRUE(value.size == 1 || value.size == 4 || value.size == 8);
        EXPECT_LE(value.size, kMaxPropertySize);
        if (value.blockOffset == kNotInBlock)
            continue;
        // A block value's read bytes fit inside the value and the block, and no
        // two values read into the same byte.
        ASSERT_GE(value.blockOffset, 0);
        ASSERT_LE(value.blockBytes, value.size);
        ASSERT_LE(value.blockOffset + value.size, sizeof(SettingsBlock));
        for (uint32_t b = 0; b < value.blockBytes; ++b) {
            EXPECT_FALSE(blockBytesUsed[value.blockOffset + b]) << "overlap at " << value.blockOffset + b;
            blockBytesUsed[value.blockOffset + b] = true;
        }
    }
    EXPECT_EQ(names.size(), 29u);
}

TEST(PropertyValues, GroupsCoverEveryBlockValueOnce)
{
    std::multiset<const PropertyValue*> grouped;
    for (PropertyGroup group : {PropertyGroup::kGeneral, PropertyGroup::kFirstTime, PropertyGroup::kIcon}) {
        for (const PropertyValue* value : Group(group))
            grouped.insert(value);
    }
    for (size_t i = 0; i < kPropertyValueCount; ++i) {
        const PropertyValue& value = kPropertyValues[i];
        EXPECT_EQ(grouped.count(&value), value.blockOffset == kNotInBlock ? 0u : 1u) << value.name;
    }
    std::vector<const PropertyValue*> general = Group(PropertyGroup::kGeneral);
    ASSERT_EQ(general.size(), 3u);
    EXPECT_STREQ(general[0]->name, "Property General Enabled");
    EXPECT_STREQ(general[2]->name, "Property General Exit On Load");
    EXPECT_EQ(Group(PropertyGroup::kIcon).size(), 9u);
}

TEST(PropertyValues, IconStyleReadsOnlyItsFirstByte)
{
    const PropertyValue* style = FindPropertyValue("Property Icon Style");
    ASSERT_NE(style, nullptr);
    SettingsBlock block = Defaults();
    block.restoreOnRes = 0;
    block.adjustByPixel = 0;
    block.listType = 1;
    SettingsBlock expected = block;
    expected.iconStyle = 1;
    const uint8_t stored[4] = {1, 1, 1, 0};
    ASSERT_EQ(TakePropertyIntoBlock(*style, stored, &block), 1);
    EXPECT_EQ(memcmp(&block, &expected, sizeof block), 0);
}

TEST(PropertyValues, IconStyleIsWrittenAsFourBlockBytes)
{
    const PropertyValue* style = FindPropertyValue("Property Icon Style");
    ASSERT_NE(style, nullptr);
    SettingsBlock block = Defaults();
    block.iconStyle = 1;
    block.restoreOnRes = 1;
    block.adjustByPixel = 1;
    block.listType = 1;
    const uint8_t* bytes = PropertyBytesInBlock(*style, block);
    ASSERT_NE(bytes, nullptr);
    ASSERT_EQ(style->size, 4u);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[1], 1);
    EXPECT_EQ(bytes[2], 1);
    EXPECT_EQ(bytes[3], 1);
    block.listType = 0;
    EXPECT_EQ(PropertyBytesInBlock(*style, block)[3], 0);
}

TEST(PropertyValues, DefaultsOfValuesOutsideTheBlock)
{
    const PropertyValue* backupPos = FindPropertyValue("Property Backup Desktop Icon Pos");
    ASSERT_NE(backupPos, nullptr);
    uint8_t bytes[kMaxPropertySize];
    PropertyDefaultBytes(*backupPos, bytes);
    const uint8_t expected[8] = {50, 0, 0, 0, 0, 0, 0, 0};  // x = 50, y = 0
    EXPECT_EQ(memcmp(bytes, expected, 8), 0);

    SettingsBlock block = Defaults();
    SettingsBlock before = block;
    EXPECT_EQ(SetPropertyDefault(*backupPos, &block), 0);
    EXPECT_EQ(PropertyBytesInBlock(*backupPos, block), nullptr);
    EXPECT_EQ(memcmp(&block, &before, sizeof block), 0);

    const PropertyValue* widths = FindPropertyValue("Property Respond List Column Widths");
    ASSERT_NE(widths, nullptr);
    EXPECT_STREQ(widths->defaultText, "162,162");
}
