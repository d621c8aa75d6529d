// A copy made portable by a settings.ini beside the program: the settings are
// kept there and nothing is made under the profile, unless the program's
// folder cannot be written, which the About box's note then tells.
#include <gtest/gtest.h>

#include <filesystem>

#include "settings/ini_ex.h"
#include "settings/settings_location.h"
#include "settings/settings_system.h"
#include "tests/support/temp_folder.h"

namespace {

// The program in folder\bin, the profile in folder\Local; a read-only program
// folder refuses the files a save would write there.
class PortableSystem : public SettingsSystem {
public:
    explicit PortableSystem(const TempFolder& folder) : folder_(folder) {}
    bool readOnly = false;
    bool SpecialFolderPath(int, std::wstring* path) override { return *path = folder_ / L"Local", true; }
    std::wstring ModuleFileName() override { return folder_ / L"bin\\qorvel.exe"; }
    bool CanWriteFile(const std::wstring& path) override { return !readOnly && SettingsSystem::CanWriteFile(path); }

private:
    const TempFolder& folder_;
};

TEST(PortableTest, ASettingsFileBesideTheProgramKeepsTheSettingsUnlessItsFolderCannotBeWritten)
{
    const std::wstring profileFile = L"Local\\Qorvel Indicator\\settings.ini";
    for (const auto& [beside, readOnly, place, file] :
         {std::tuple{true, false, SettingsPlace::Portable, std::wstring(L"bin\\settings.ini")},
          {true, true, SettingsPlace::ProfileFolderReadOnly, profileFile},
          {false, false, SettingsPlace::Profile, profileFile}}) {
        TempFolder folder;
        PortableSystem system(folder);
        ScopedSettingsSystem seam(system);
        system.readOnly = readOnly;
        std::filesystem::create_directory(folder / L"bin");
        if (beside)
            WriteBytes(folder / L"bin\\settings.ini", "[General]\r\nClass=2\r\n");
        SettingsPlace opened = SettingsPlace::Portable;
        CIniEx store;
        EXPECT_TRUE(OpenSettingsFile(store, &opened));
        EXPECT_EQ(opened, place) << readOnly;
        EXPECT_EQ(store.FilePath(), folder / file);
        EXPECT_EQ(store.GetInt(7, L"General", L"Class"), place == SettingsPlace::Portable ? 2 : 7);
        EXPECT_EQ(std::filesystem::exists(folder / L"Local"), place != SettingsPlace::Portable);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / L"bin"), {}), beside ? 1 : 0);
        EXPECT_EQ(SettingsPlaceNote(opened).empty(), place != SettingsPlace::ProfileFolderReadOnly);
    }
}

}  // namespace
