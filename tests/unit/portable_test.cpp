// A copy made portable by a settings.ini beside the program: the settings are
// kept there and nothing is made under the profile, unless the program's
// folder cannot be written, which the About box's note then tells.
#include <gtest/gtest.h>

#include "settings/ini_ex.h"
#include "settings/settings_location.h"
#include "settings/settings_system.h"
#include "tests/support/temp_folder.h"

namespace {

// The program in the folder, the profile in its folder Local; a read-only
// program folder takes no file.
struct PortableSystem : SettingsSystem {
    TempFolder folder;
    bool readOnly = false;
    bool SpecialFolderPath(int, std::wstring* path) override { return *path = folder / L"Local", true; }
    std::wstring ModuleFileName() override { return folder / L"qorvel.exe"; }
    bool CanWriteFile(const std::wstring& path) override { return !readOnly && SettingsSystem::CanWriteFile(path); }
};

// What is opened, whether the profile's folder was made, whether the check of
// the folder left its file, whether a note is shown.
TEST(PortableTest, ASettingsFileBesideTheProgramKeepsTheSettingsUnlessItsFolderCannotBeWritten)
{
    const std::wstring profile = L"Local\\Qorvel Indicator\\settings.ini";
    for (const auto& [beside, readOnly, place, file] :
         {std::tuple{true, false, SettingsPlace::Portable, std::wstring(L"settings.ini")},
          {true, true, SettingsPlace::ProfileFolderReadOnly, profile},
          {false, false, SettingsPlace::Profile, profile}}) {
        PortableSystem system;
        ScopedSettingsSystem seam(system);
        system.readOnly = readOnly;
        if (beside)
            WriteBytes(system.folder / L"settings.ini", "");
        SettingsPlace opened = SettingsPlace::Portable;
        CIniEx store;
        EXPECT_TRUE(OpenSettingsFile(store, &opened));
        EXPECT_EQ(
            std::tuple(opened, store.FilePath(), std::filesystem::exists(system.folder / L"Local"),
                       std::filesystem::exists(system.folder / L"settings.ini.tmp"), SettingsPlaceNote(opened).empty()),
            std::tuple(place, system.folder / file, place != SettingsPlace::Portable, false, !readOnly));
    }
}

}  // namespace
