// The settings store against registry roots of the test's own: each test gets
// HKCU\Software\DervaneTests\<test> with "HKCU", "HKLM" and "HKCR" under it
// standing in for the three roots, and removes the whole tree afterwards.
#include "settings/SettingsStore.h"

#include <sddl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kProgramKey[] = "Software\\Quillmere\\Dervane";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kFolder[] = "C:\\Program Files\\Dervane Tools";
// Everyone may read the key and change its rights, nothing else.
constexpr char kReadOnlyDacl[] = "D:P(A;;KRWD;;;WD)";
constexpr char kFullDacl[] = "D:P(A;;KA;;;WD)";

struct Box {
    std::string text;
    std::string caption;
    UINT type;
};

std::vector<std::string> g_warnings;
std::vector<Box> g_boxes;

void RecordWarning(const char* text)
{
    g_warnings.push_back(text);
}

int RecordBox(HWND, const char* text, const char* caption, UINT type)
{
    g_boxes.push_back({text, caption, type});
    return IDOK;
}

constexpr char kMissing[] = "(missing)";

// A value's stored bytes (a text with its NUL), or kMissing.
std::string Stored(HKEY root, const char* path, const char* name, DWORD* type = nullptr)
{
    char buffer[4096] = {};
    DWORD size = sizeof buffer;
    if (RegGetValueA(root, path, name, RRF_RT_ANY | RRF_NOEXPAND, type, buffer, &size) != ERROR_SUCCESS) {
        return kMissing;
    }
    return std::string(buffer, size);
}

// A text as the registry holds it, with its terminating NUL.
std::string Sz(const std::string& text)
{
    return text + '\0';
}

bool KeyExists(HKEY root, const char* path)
{
    ScopedKey key;
    return OpenKey(root, path, KEY_READ, &key) == ERROR_SUCCESS;
}

bool SetBytes(HKEY root, const char* path, const char* name, DWORD type, const void* data, DWORD size)
{
    ScopedKey key;
    return CreateKey(root, path, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS &&
        RegSetValueExA(key.Get(), name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

bool SetDacl(HKEY root, const char* path, const char* sddl)
{
    ScopedKey key;
    if (OpenKey(root, path, WRITE_DAC, &key) != ERROR_SUCCESS)
        return false;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr)) {
        return false;
    }
    LONG rc = RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, descriptor);
    LocalFree(descriptor);
    return rc == ERROR_SUCCESS;
}

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        base_ = std::string("Software\\DervaneTests\\") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name();
        RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());
        ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, base_.c_str(), KEY_ALL_ACCESS, &root_), ERROR_SUCCESS);
        ASSERT_EQ(CreateKey(root_.Get(), "HKCU", KEY_ALL_ACCESS, &user_), ERROR_SUCCESS);
        ASSERT_EQ(CreateKey(root_.Get(), "HKLM", KEY_ALL_ACCESS, &machine_), ERROR_SUCCESS);
        ASSERT_EQ(CreateKey(root_.Get(), "HKCR", KEY_ALL_ACCESS, &classes_), ERROR_SUCCESS);
        // An installed system has both machine keys; the store never creates them.
        ScopedKey key;
        ASSERT_EQ(CreateKey(machine_.Get(), kProgramKey, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
        ASSERT_EQ(CreateKey(machine_.Get(), kRunKey, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
        g_warnings.clear();
        g_boxes.clear();
    }

    void TearDown() override
    {
        for (const auto& locked : locked_)
            SetDacl(locked.first, locked.second.c_str(), kFullDacl);
        user_.Reset();
        machine_.Reset();
        classes_.Reset();
        root_.Reset();
        EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str()), ERROR_SUCCESS);
    }

    SettingsRoots Roots() const
    {
        SettingsRoots roots;
        roots.currentUser = user_.Get();
        roots.localMachine = machine_.Get();
        roots.classes = classes_.Get();
        return roots;
    }

    CSettingsStore& Store()
    {
        store_.reset(new CSettingsStore(Roots()));
        store_->SetWarning(RecordWarning);
        store_->SetMessageBox(RecordBox);
        return *store_;
    }

    // Creates a key that may only be read, as the machine keys are for a user
    // without administrator rights; the rights come back before the tree is
    // removed. (The key itself, not its parent: Wine checks the rights of a key
    // when it is opened, but lets any caller create keys under a read-only one.)
    void MakeReadOnly(HKEY root, const char* path)
    {
        ScopedKey key;
        ASSERT_EQ(CreateKey(root, path, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
        key.Reset();
        ASSERT_TRUE(SetDacl(root, path, kReadOnlyDacl));
        locked_.push_back({root, path});
        ScopedKey probe;
        ASSERT_NE(OpenKey(root, path, KEY_SET_VALUE, &probe), ERROR_SUCCESS)
            << "the registry does not enforce key rights here";
    }

    void WriteUser(const char* name, DWORD type, const void* data, DWORD size)
    {
        ASSERT_TRUE(SetBytes(user_.Get(), kProgramKey, name, type, data, size));
    }

    std::string base_;
    ScopedKey root_, user_, machine_, classes_;
    std::unique_ptr<CSettingsStore> store_;
    std::vector<std::pair<HKEY, std::string>> locked_;
};

TEST_F(SettingsStoreTest, FirstStartGivesDefaultsAndWritesTheRunValue)
{
    CSettingsStore& store = Store();
    store.OpenKeys();
    EXPECT_TRUE(store.HasUserKey() && store.HasMachineKey() && store.HasRunKey());
    EXPECT_FALSE(store.RunKeyIsPerUser());
    EXPECT_TRUE(KeyExists(user_.Get(), kProgramKey));
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof folder, folder);
    EXPECT_STREQ(store.MachinePath(), folder);
    EXPECT_EQ(Stored(machine_.Get(), kProgramKey, "Path"), Sz(folder));

    SettingsBlock block = {};
    store.LoadSettingsBlock(&block);
    EXPECT_EQ(block.enabled, 1);
    EXPECT_EQ(block.runOnBoot, 1);
    EXPECT_EQ(block.exitOnLoad, 0);
    EXPECT_EQ(block.firstTime, 1);
    EXPECT_EQ(block.hideEnabled, 0);
    EXPECT_EQ(block.iconStyle, 0);
    EXPECT_EQ(block.restoreOnRes, 1);
    EXPECT_EQ(block.adjustByPixel, 1);
    EXPECT_EQ(block.listType, 0);
    EXPECT_EQ(block.textBackground, 0u);
    EXPECT_EQ(block.textForeground, 0x00FFFFFFu);
    EXPECT_EQ(block.textBackgroundOpaque, 1);

    ASSERT_EQ(store.UpdateStartEntry(block.runOnBoot != 0, kFolder), 1);
    DWORD type = 0;
    EXPECT_EQ(Stored(machine_.Get(), kRunKey, "Dervane", &type), Sz("\"" + std::string(kFolder) + "\\Dervane.exe\""));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    // Switched off, the value goes; off again is harmless.
    EXPECT_EQ(store.UpdateStartEntry(false, kFolder), 1);
    EXPECT_EQ(Stored(machine_.Get(), kRunKey, "Dervane"), kMissing);
    EXPECT_EQ(store.UpdateStartEntry(false, kFolder), 1);
    EXPECT_TRUE(g_boxes.empty());
    EXPECT_TRUE(g_warnings.empty());
}

TEST_F(SettingsStoreTest, AStoredPathIsKeptAndAMissingMachineKeyIsLogged)
{
    const char kInstalled[] = "D:\\Tools\\Dervane";
    ASSERT_TRUE(SetBytes(machine_.Get(), kProgramKey, "Path", REG_SZ, kInstalled, sizeof kInstalled));
    Store().OpenKeys();
    EXPECT_STREQ(store_->MachinePath(), kInstalled);
    EXPECT_EQ(Stored(machine_.Get(), kProgramKey, "Path"), Sz(kInstalled));

    store_.reset();
    ASSERT_EQ(RegDeleteTreeA(machine_.Get(), "Software\\Quillmere"), ERROR_SUCCESS);
    Store().OpenKeys();
    EXPECT_FALSE(store_->HasMachineKey());
    EXPECT_STREQ(store_->MachinePath(), "");
    ASSERT_EQ(g_warnings.size(), 1u);
    EXPECT_EQ(g_warnings[0], "Cannot open machine registration key \"Software\\Quillmere\\Dervane\"");
    EXPECT_FALSE(KeyExists(machine_.Get(), kProgramKey));
}

TEST_F(SettingsStoreTest, IconStyleBytesReadAsSmallIconsAndChangeNothingElse)
{
    const uint8_t style[4] = {1, 1, 1, 0};
    const uint8_t zero = 0;
    const uint8_t one = 1;
    WriteUser("Property Icon Style", REG_BINARY, style, 4);
    WriteUser("Property Icon Restore On Res", REG_BINARY, &zero, 1);
    WriteUser("Property Icon Adjust By Pixel", REG_BINARY, &zero, 1);
    WriteUser("Property Icon List Type", REG_BINARY, &one, 1);
    Store().OpenKeys();
    SettingsBlock block;
    SetDefaultSettings(&block);
    SettingsBlock expected = block;
    expected.iconStyle = 1;
    expected.restoreOnRes = 0;
    expected.adjustByPixel = 0;
    expected.listType = 1;
    store_->LoadSettingsBlock(&block);
    EXPECT_EQ(memcmp(&block, &expected, sizeof block), 0);
}

TEST_F(SettingsStoreTest, IconSettingsAreWrittenWithTheirSizesAndComeBack)
{
    Store().OpenKeys();
    SettingsBlock block;
    SetDefaultSettings(&block);
    block.iconStyle = 1;
    block.listType = 1;
    block.textBackground = 0x00123456;
    ASSERT_EQ(store_->WriteGroup(PropertyGroup::kIcon, block), 1);
    size_t count = 0;
    const PropertyValue* const* values = PropertyGroupValues(PropertyGroup::kIcon, &count);
    for (size_t i = 0; i < count; ++i) {
        DWORD type = 0;
        EXPECT_EQ(Stored(user_.Get(), kProgramKey, values[i]->name, &type).size(), values[i]->size) << values[i]->name;
        EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY)) << values[i]->name;
    }
    EXPECT_EQ(Stored(user_.Get(), kProgramKey, "Property Icon Style"), std::string("\1\1\1\1", 4));
    SettingsBlock loaded;
    SetDefaultSettings(&loaded);
    store_->LoadGroup(PropertyGroup::kIcon, &loaded);
    EXPECT_EQ(memcmp(&loaded, &block, sizeof block), 0);
}

TEST_F(SettingsStoreTest, ValuesOfTheWrongSizeOrTypeKeepTheirDefaults)
{
    const uint8_t junk[9] = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
    for (size_t i = 0; i < kPropertyValueCount; ++i) {
        const PropertyValue& value = kPropertyValues[i];
        DWORD wrongSize = value.kind == PropertyKind::kBinary ? value.size + 1 : 4;
        WriteUser(value.name, REG_BINARY, junk, wrongSize);
    }
    // A REG_SZ of the right size is not a flag either.
    WriteUser("Property General Enabled", REG_SZ, "", 1);
    Store().OpenKeys();
    for (size_t i = 0; i < kPropertyValueCount; ++i) {
        const PropertyValue& value = kPropertyValues[i];
        SCOPED_TRACE(value.name);
        if (value.kind == PropertyKind::kBinary) {
            uint8_t bytes[kMaxPropertySize];
            uint8_t defaults[kMaxPropertySize];
            PropertyDefaultBytes(value, defaults);
            EXPECT_EQ(store_->ReadProperty(value, bytes), 0);
            EXPECT_EQ(memcmp(bytes, defaults, value.size), 0);
        } else {
            std::string text = "before";
            EXPECT_EQ(store_->ReadProperty(value, &text), 0);
            EXPECT_EQ(text, value.defaultText);
        }
    }
    SettingsBlock block;
    SetDefaultSettings(&block);
    SettingsBlock defaults = block;
    store_->LoadSettingsBlock(&block);
    EXPECT_EQ(memcmp(&block, &defaults, sizeof block), 0);
}

TEST_F(SettingsStoreTest, ATypedReadTakesOnlyAValueOfItsTableSize)
{
    const int32_t place[2] = {-40, 300};
    WriteUser("Property Backup Desktop Icon Pos", REG_BINARY, place, sizeof place);
    const uint8_t two[2] = {1, 1};
    WriteUser("Property Delete AutoDel Enabled", REG_BINARY, two, sizeof two);
    const int32_t word = 1;
    WriteUser("Property Respond Enabled", REG_BINARY, &word, sizeof word);
    const uint8_t on = 1;
    WriteUser("Property Not In The Table", REG_BINARY, &on, 1);
    Store().OpenKeys();

    int32_t read[2] = {7, 7};
    EXPECT_TRUE(store_->ReadValue("Property Backup Desktop Icon Pos", &read));
    EXPECT_EQ(-40, read[0]);
    EXPECT_EQ(300, read[1]);
    // Stored with another size, asked with another size than the table's,
    // not in the table, not stored: the caller's default stays.
    uint8_t flag = 9;
    int32_t asWord = 9;
    EXPECT_FALSE(store_->ReadValue("Property Delete AutoDel Enabled", &flag));
    EXPECT_FALSE(store_->ReadValue("Property Respond Enabled", &asWord));
    EXPECT_FALSE(store_->ReadValue("Property Not In The Table", &flag));
    EXPECT_FALSE(store_->ReadValue("Property Tray Enabled", &flag));
    EXPECT_EQ(9, flag);
    EXPECT_EQ(9, asWord);
    WriteUser("Property Tray Enabled", REG_BINARY, &on, 1);
    EXPECT_TRUE(store_->ReadValue("Property Tray Enabled", &flag));
    EXPECT_EQ(1, flag);
}

TEST_F(SettingsStoreTest, TextsAreReadWhateverTheirStoredLength)
{
    Store().OpenKeys();
    const char* name = "Property Icon Pos Default Layout";
    std::string text;
    ASSERT_EQ(store_->WriteText(name, "Work.dvl"), 1);
    EXPECT_EQ(Stored(user_.Get(), kProgramKey, name), Sz("Work.dvl"));
    EXPECT_EQ(store_->ReadProperty(*FindPropertyValue(name), &text), 1);
    EXPECT_EQ(text, "Work.dvl");
    // Stored without its NUL by some other writer: still one clean text.
    WriteUser(name, REG_SZ, "Home", 4);
    EXPECT_EQ(store_->ReadText(name, &text), 1);
    EXPECT_EQ(text, "Home");
    const std::string longText(3000, 'x');
    ASSERT_EQ(store_->WriteText(name, longText.c_str()), 1);
    EXPECT_EQ(store_->ReadText(name, &text), 1);
    EXPECT_EQ(text, longText);
}

TEST_F(SettingsStoreTest, AFailedRunValueShowsTheSystemTextUnderOptionsError)
{
    Store().OpenKeys();
    ASSERT_TRUE(store_->HasRunKey());
    // The key goes away under the open handle, so setting a value in it fails.
    ASSERT_EQ(RegDeleteKeyA(machine_.Get(), kRunKey), ERROR_SUCCESS);
    EXPECT_EQ(store_->UpdateStartEntry(true, kFolder), 0);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].caption, "Options Error");
    EXPECT_EQ(g_boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_FALSE(g_boxes[0].text.empty());
    EXPECT_EQ(g_boxes[0].text.find("Error "), std::string::npos) << "no system text";
    EXPECT_EQ(Stored(user_.Get(), kRunKey, "Dervane"), kMissing);
}

TEST_F(SettingsStoreTest, TheAssociationIsMadeOnceAndAgainWhenForced)
{
    const char* command = ".dvl\\shell\\open\\command";
    const std::string ours = Sz(kFolder + std::string("\\dervane.exe \"%1\""));
    Store();
    ASSERT_EQ(store_->EnsureFileAssociation(false, kFolder), 1);
    DWORD type = 0;
    EXPECT_EQ(Stored(classes_.Get(), command, nullptr, &type), ours);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(Stored(classes_.Get(), ".dvl", nullptr), kMissing) << "no file type of its own";
    EXPECT_TRUE(g_warnings.empty());

    const std::string old = Sz("C:\\Old\\dervane.exe \"%1\"");
    ASSERT_TRUE(SetBytes(classes_.Get(), command, nullptr, REG_SZ, old.data(), old.size()));
    // Left over from another program; it would take the command's place.
    ASSERT_TRUE(SetBytes(classes_.Get(), command, "DelegateExecute", REG_SZ, "{0}", 4));
    ASSERT_EQ(store_->EnsureFileAssociation(false, kFolder), 1);
    EXPECT_EQ(Stored(classes_.Get(), command, nullptr), old);
    ASSERT_EQ(store_->EnsureFileAssociation(true, kFolder), 1);
    EXPECT_EQ(Stored(classes_.Get(), command, nullptr), ours);
    EXPECT_EQ(Stored(classes_.Get(), command, "DelegateExecute"), kMissing);
    EXPECT_FALSE(KeyExists(user_.Get(), "Software\\Classes\\.dvl"));
}

TEST_F(SettingsStoreTest, WithoutTheProgramKeyEverythingKeepsItsDefault)
{
    MakeReadOnly(user_.Get(), kProgramKey);
    Store().OpenKeys();
    EXPECT_FALSE(store_->HasUserKey());
    ASSERT_FALSE(g_warnings.empty());
    EXPECT_EQ(g_warnings[0], "Cannot open/create registration key \"Software\\Quillmere\\Dervane\"");
    SettingsBlock block;
    SetDefaultSettings(&block);
    SettingsBlock defaults = block;
    store_->LoadSettingsBlock(&block);
    EXPECT_EQ(memcmp(&block, &defaults, sizeof block), 0);
    EXPECT_EQ(store_->WriteGroup(PropertyGroup::kGeneral, block), 0);
    EXPECT_EQ(store_->WriteText("Property Icon Pos Default Layout", "x"), 0);
}

TEST_F(SettingsStoreTest, ReadOnlyMachineKeysFallBackToTheCurrentUser)
{
    const char* userCommand = "Software\\Classes\\.dvl\\shell\\open\\command";
    const std::string ours = Sz(kFolder + std::string("\\dervane.exe \"%1\""));
    MakeReadOnly(machine_.Get(), kRunKey);
    // The association an administrator made, which this user may not change.
    MakeReadOnly(classes_.Get(), ".dvl");
    Store().OpenKeys();
    ASSERT_TRUE(store_->HasRunKey());
    EXPECT_TRUE(store_->RunKeyIsPerUser());
    ASSERT_EQ(store_->UpdateStartEntry(true, kFolder), 1);
    EXPECT_EQ(Stored(user_.Get(), kRunKey, "Dervane"), Sz("\"" + std::string(kFolder) + "\\Dervane.exe\""));
    EXPECT_EQ(Stored(machine_.Get(), kRunKey, "Dervane"), kMissing);

    ASSERT_EQ(store_->EnsureFileAssociation(false, kFolder), 1);
    EXPECT_FALSE(KeyExists(classes_.Get(), ".dvl\\shell"));
    EXPECT_EQ(Stored(user_.Get(), userCommand, nullptr), ours);
    // Logged once for each key, and no box.
    ASSERT_EQ(g_warnings.size(), 3u);
    EXPECT_NE(g_warnings[0].find("Run"), std::string::npos);
    EXPECT_EQ(g_warnings[1], "Cannot create registry key \"HKEY_CLASSES_ROOT\\.dvl\"");
    EXPECT_NE(g_warnings[2].find("HKEY_CURRENT_USER\\Software\\Classes"), std::string::npos);
    EXPECT_TRUE(g_boxes.empty());

    // The next start finds the user's association and leaves it alone; forced,
    // it is made again for this user with the current folder.
    const std::string mine = Sz("C:\\Mine\\dervane.exe \"%1\"");
    ASSERT_TRUE(SetBytes(user_.Get(), userCommand, nullptr, REG_SZ, mine.data(), mine.size()));
    ASSERT_EQ(store_->EnsureFileAssociation(false, kFolder), 1);
    EXPECT_EQ(Stored(user_.Get(), userCommand, nullptr), mine);
    ASSERT_EQ(store_->EnsureFileAssociation(true, kFolder), 1);
    EXPECT_EQ(Stored(user_.Get(), userCommand, nullptr), ours);

    EXPECT_EQ(store_->UpdateStartEntry(false, kFolder), 1);
    EXPECT_EQ(Stored(user_.Get(), kRunKey, "Dervane"), kMissing);
}

TEST_F(SettingsStoreTest, AWritableMachineRunKeyReplacesAPerUserEntry)
{
    const char kStale[] = "C:\\Old\\Dervane.exe";
    ASSERT_TRUE(SetBytes(user_.Get(), kRunKey, "Dervane", REG_SZ, kStale, sizeof kStale));
    Store().OpenKeys();
    ASSERT_FALSE(store_->RunKeyIsPerUser());
    ASSERT_EQ(store_->UpdateStartEntry(true, kFolder), 1);
    EXPECT_NE(Stored(machine_.Get(), kRunKey, "Dervane"), kMissing);
    EXPECT_EQ(Stored(user_.Get(), kRunKey, "Dervane"), kMissing);

    ASSERT_TRUE(SetBytes(user_.Get(), kRunKey, "Dervane", REG_SZ, kStale, sizeof kStale));
    ASSERT_EQ(store_->UpdateStartEntry(false, kFolder), 1);
    EXPECT_EQ(Stored(machine_.Get(), kRunKey, "Dervane"), kMissing);
    EXPECT_EQ(Stored(user_.Get(), kRunKey, "Dervane"), kMissing);
}

TEST_F(SettingsStoreTest, NoRunKeyAnywhereWritesNothingAndShowsNothing)
{
    MakeReadOnly(machine_.Get(), kRunKey);
    MakeReadOnly(user_.Get(), kRunKey);
    Store().OpenKeys();
    EXPECT_FALSE(store_->HasRunKey());
    EXPECT_EQ(store_->UpdateStartEntry(true, kFolder), 0);
    EXPECT_TRUE(g_boxes.empty());
    ASSERT_EQ(g_warnings.size(), 1u);
    EXPECT_EQ(g_warnings[0], "Cannot open registration key \"Software\\Microsoft\\Windows\\CurrentVersion\\Run\"");
}

}  // namespace
