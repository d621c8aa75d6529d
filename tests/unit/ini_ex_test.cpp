// The settings store over real files: loading, lookups, typed reads and
// writes, the modified flag and the bytes each save writes.
#include <gtest/gtest.h>

#include <memory>

#include "settings/ini_ex.h"
#include "tests/support/fake_settings_system.h"
#include "tests/support/temp_folder.h"

namespace {

class IniExTest : public ::testing::Test {
protected:
    // Loads a store from a file holding the bytes.
    std::unique_ptr<CIniEx> LoadFrom(const std::string& bytes)
    {
        WriteBytes(file, bytes);
        auto store = std::make_unique<CIniEx>();
        EXPECT_TRUE(store->Load(file));
        return store;
    }
    // The file's bytes after the store saved; "<missing>" when there is none.
    std::string Saved(CIniEx& store)
    {
        store.Save();
        return ReadBytes(file).value_or("<missing>");
    }

    TempFolder folder;
    std::wstring file = folder / L"settings.ini";
};

TEST_F(IniExTest, FirstSaveOfANewStoreWritesEachSectionAfterAnEmptyLine)
{
    {
        CIniEx store;
        ASSERT_TRUE(store.Load(file));
        EXPECT_EQ(ReadBytes(file), "");  // created empty at once
        EXPECT_EQ(store.GetString(L"General", L"Class", L"none"), L"none");
        EXPECT_EQ(store.FindSection(L"General"), -1);  // reading creates nothing
        EXPECT_FALSE(store.IsModified());
        store.SetString(L"General", L"Class", L"7");
        store.SetInt(-7, L"Appearance", L"Opacity");
        store.SetBool(true, L"General", L"ShowTrayIcon");
        EXPECT_TRUE(store.IsModified());
    }  // the destructor saves
    EXPECT_EQ(ReadBytes(file), "\r\n[General]\r\nClass=7\r\nShowTrayIcon=Yes\r\n\r\n[Appearance]\r\nOpacity=-7\r\n");
    EXPECT_FALSE(Exists(file + L".tmp"));
}

TEST_F(IniExTest, SectionsFromTheFirstKeysFromTheLastLetterCaseIgnoredAndLatin1Kept)
{
    auto store = LoadFrom("k=1\r\n[A]\r\nx=2\r\nx=5\r\n[A]\r\nx=3\r\n[\xC4rger]\r\n\xD6l=1\r\n");
    EXPECT_EQ(store->GetString(L"", L"k", L"-"), L"1");
    EXPECT_EQ(store->GetString(L"a", L"X", L"-"), L"5");
    EXPECT_EQ(store->GetString(L"\u00e4RGER", L"\u00f6L", L"-"), L"1");  // beyond ASCII too, the CharLowerW way
    EXPECT_EQ(store->GetString(L"A ", L"x", L"-"), L"-");
    EXPECT_EQ(store->FindSection(L"a"), 1);
    EXPECT_EQ(store->FindKey(1, L"y"), -1);
    EXPECT_EQ(store->FindKey(7, L"x"), -1);
    store->SetString(L"a", L"X", L"9");
    store->SetString(L"A", L"Euro", L"5 \u20ac");  // above U+00FF: "?"
    EXPECT_EQ(Saved(*store),
              "k=1\r\n\r\n[A]\r\nx=2\r\nx=9\r\nEuro=5 ?\r\n\r\n[A]\r\nx=3\r\n\r\n[\xC4rger]\r\n\xD6l=1\r\n");
}

TEST_F(IniExTest, TypedReadsCutInlineCommentsReadIntegersLikeWcstolAndOnlyYesAsTrue)
{
    auto store = LoadFrom("[S]\nOpacity=255 ; full\nList=a;b;c\na=12abc\nb=\nc=abc\nd=  -42\ne=+8\nf=0x10\n"
                          "t1=YES\nt2=yes\nt3=Yes;\nf1=1\nf2=true\nf3=No\nf4=Yes \n");
    EXPECT_EQ(store->GetString(L"S", L"Opacity", L""), L"255 ");
    EXPECT_EQ(store->GetString(L"S", L"List", L""), L"a;b");        // from the last ";"
    EXPECT_EQ(store->GetString(L"S", L"Missing", L"x;y"), L"x;y");  // a default is answered as given
    EXPECT_EQ(store->GetInt(-5, L"Other", L"a"), -5);
    const std::pair<const wchar_t*, int> ints[] = {{L"Opacity", 255}, {L"a", 12}, {L"b", 0}, {L"c", 0},
                                                   {L"d", -42},       {L"e", 8},   {L"f", 0}, {L"missing", 5}};
    for (const auto& [key, value] : ints)
        EXPECT_EQ(store->GetInt(5, L"S", key), value) << testing::PrintToString(std::wstring(key));
    for (const wchar_t* key : {L"t1", L"t2", L"t3"})
        EXPECT_TRUE(store->GetBool(false, L"S", key)) << testing::PrintToString(std::wstring(key));
    for (const wchar_t* key : {L"f1", L"f2", L"f3", L"f4"})
        EXPECT_FALSE(store->GetBool(true, L"S", key)) << testing::PrintToString(std::wstring(key));
    EXPECT_TRUE(store->GetBool(true, L"S", L"missing"));
    EXPECT_FALSE(store->GetBool(false, L"S", L"missing"));
}

TEST_F(IniExTest, OnlyAChangeBeyondLetterCaseMakesTheStoreModified)
{
    auto store = LoadFrom("[B]\r\nShow=Yes\r\n");
    store->SetString(L"b", L"SHOW", L"Yes");
    store->SetString(L"B", L"Show", L"YES");  // reaches memory, not the file
    EXPECT_FALSE(store->IsModified());
    EXPECT_EQ(store->GetString(L"B", L"Show", L""), L"YES");
    EXPECT_EQ(Saved(*store), "[B]\r\nShow=Yes\r\n");

    store->SetBool(false, L"B", L"Show");
    EXPECT_TRUE(store->IsModified());
    EXPECT_EQ(Saved(*store), "\r\n[B]\r\nShow=No\r\n");

    // Once modified, every save writes the file again.
    WriteBytes(file, "changed behind the store");
    EXPECT_EQ(Saved(*store), "\r\n[B]\r\nShow=No\r\n");
    EXPECT_TRUE(store->IsModified());
}

TEST_F(IniExTest, AStoreWhoseLoadFailedIgnoresChangesAndWritesNothing)
{
    {
        CIniEx store;
        EXPECT_FALSE(store.Load(folder / L"no such folder\\settings.ini"));
        EXPECT_EQ(store.FilePath(), L"");
        store.SetString(L"General", L"Class", L"7");
        EXPECT_FALSE(store.IsModified());
        EXPECT_EQ(store.GetInt(3, L"General", L"Class"), 3);
    }
    EXPECT_FALSE(Exists(folder / L"no such folder"));
}

// A file whose attributes cannot be read (for example when access to the
// folder is denied) may still exist: loading must read it, never empty it.
TEST_F(IniExTest, AFileThatCannotBeAskedAboutIsReadNotTruncated)
{
    FakeSettingsSystem fake;
    fake.attributesFail = true;
    ScopedSettingsSystem scoped(fake);
    {
        auto store = LoadFrom("[General]\r\nClass=3\r\n");
        EXPECT_EQ(store->GetInt(7, L"General", L"Class"), 3);
    }
    EXPECT_EQ(ReadBytes(file), "[General]\r\nClass=3\r\n");
}

TEST_F(IniExTest, OnlyTheFirstThousandLinesOfA1200LineFileAreKept)
{
    // Lines 1 and 2 are an empty line and the header: they count too.
    std::string bytes = "\r\n[S]\r\n", expected = "\r\n[S]\r\nk3=changed\r\n";
    for (int i = 3; i <= 1200; ++i) {
        const std::string line = "k" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
        bytes += line;
        if (i >= 4 && i <= 1000)
            expected += line;
    }
    auto store = LoadFrom(bytes);
    store->SetString(L"S", L"k3", L"changed");
    EXPECT_EQ(Saved(*store), expected);
}

TEST_F(IniExTest, ALineOf1023CharactersIsReadAndOneOf1024EndsTheReading)
{
    auto store = LoadFrom("[S]\r\nlong=" + std::string(1018, 'v') + "\r\nmore=" + std::string(1019, 'w') +
                          "\r\nlast=1\r\n");
    EXPECT_EQ(store->GetString(L"S", L"long", L""), std::wstring(1018, L'v'));
    EXPECT_EQ(store->GetString(L"S", L"last", L"-"), L"-");
    store->SetString(L"S", L"k", L"1");
    // A written key line holds at most 1022 characters.
    EXPECT_EQ(Saved(*store), "\r\n[S]\r\nlong=" + std::string(1017, 'v') + "\r\nk=1\r\n");
}

TEST_F(IniExTest, ASecondLoadSavesTheFirstFileAndStartsOver)
{
    const std::wstring second = folder / L"second.ini";
    WriteBytes(second, "[T]\r\nt=1\r\n");
    auto store = LoadFrom("[S]\r\ns=1\r\n");
    store->SetString(L"S", L"s", L"2");
    ASSERT_TRUE(store->Load(second));
    EXPECT_EQ(ReadBytes(file), "\r\n[S]\r\ns=2\r\n");
    EXPECT_FALSE(store->IsModified());
    EXPECT_EQ(store->GetString(L"S", L"s", L"-"), L"-");
    EXPECT_EQ(store->GetString(L"T", L"t", L"-"), L"1");
}

TEST_F(IniExTest, AFailedSaveLeavesThePreviousFileIntactAndALaterSaveWrites)
{
    const std::string before = "; hand written\r\n[S]\r\ns=1\r\n";
    auto store = LoadFrom(before);
    store->SetString(L"S", L"s", L"2");
    for (const bool replaceFails : {true, false}) {
        SCOPED_TRACE(replaceFails ? "the replace step fails" : "the temporary file cannot be created");
        FakeSettingsSystem fake;
        fake.failReplace = replaceFails;
        if (!replaceFails)
            fake.unopenable.insert(file + L".tmp");
        {
            ScopedSettingsSystem scoped(fake);
            store->Save();
        }
        EXPECT_EQ(fake.replaces, replaceFails ? 1 : 0);
        EXPECT_EQ(ReadBytes(file), before);
        EXPECT_FALSE(Exists(file + L".tmp"));
        EXPECT_TRUE(store->IsModified());
    }
    EXPECT_EQ(Saved(*store), "; hand written=\r\n\r\n[S]\r\ns=2\r\n");
    EXPECT_FALSE(Exists(file + L".tmp"));
}

}  // namespace
