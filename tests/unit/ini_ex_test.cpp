// The settings store over real files: loading, lookups, typed reads and
// writes, the modified flag and the bytes each save writes.
#include <gtest/gtest.h>

#include <memory>

#include "settings/ini_ex.h"
#include "tests/support/fake_settings_system.h"
#include "tests/support/temp_folder.h"

namespace {

std::string Repeat(char c, std::size_t count)
{
    return std::string(count, c);
}

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
        EXPECT_FALSE(store.IsModified());
        store.SetString(L"General", L"Class", L"7");
        store.SetInt(-7, L"Appearance", L"Opacity");
        store.SetBool(true, L"General", L"ShowTrayIcon");
        EXPECT_TRUE(store.IsModified());
    }  // the destructor saves
    EXPECT_EQ(ReadBytes(file), "\r\n[General]\r\nClass=7\r\nShowTrayIcon=Yes\r\n\r\n[Appearance]\r\nOpacity=-7\r\n");
    EXPECT_FALSE(Exists(file + L".tmp"));
}

TEST_F(IniExTest, AStoreLoadedFromAMissingFileAndNeverChangedLeavesItEmpty)
{
    {
        CIniEx store;
        ASSERT_TRUE(store.Load(file));
        EXPECT_EQ(store.GetString(L"General", L"Class", L"none"), L"none");
        EXPECT_EQ(store.FindSection(L"General"), -1);  // reading creates nothing
    }
    EXPECT_EQ(ReadBytes(file), "");
}

TEST_F(IniExTest, DuplicateSectionsFindTheFirstAndAreBothWrittenBack)
{
    auto store = LoadFrom("k=1\r\n[A]\r\nx=2\r\n[A]\r\nx=3\r\n");
    EXPECT_EQ(store->GetString(L"", L"k", L"-"), L"1");
    EXPECT_EQ(store->GetString(L"A", L"x", L"-"), L"2");
    EXPECT_EQ(store->FindSection(L"a"), 1);
    store->SetString(L"A", L"new", L"n");
    EXPECT_EQ(Saved(*store), "k=1\r\n\r\n[A]\r\nx=2\r\nnew=n\r\n\r\n[A]\r\nx=3\r\n");
}

TEST_F(IniExTest, DuplicateKeysFindTheLastAndAreBothWrittenBack)
{
    auto store = LoadFrom("[S]\nx=1\nx=2\n");
    EXPECT_EQ(store->FindKey(1, L"X"), 1);
    EXPECT_EQ(store->FindKey(1, L"y"), -1);
    EXPECT_EQ(store->FindKey(7, L"x"), -1);
    EXPECT_EQ(store->GetString(L"S", L"x", L"-"), L"2");
    store->SetString(L"s", L"X", L"9");
    EXPECT_EQ(Saved(*store), "\r\n[S]\r\nx=1\r\nx=9\r\n");
}

TEST_F(IniExTest, LookupsIgnoreLetterCaseTheCharLowerWay)
{
    auto store = LoadFrom("[Appearance]\r\nOpacity=200\r\n[\xC4rger]\r\n\xD6l=1\r\n");
    EXPECT_EQ(store->GetString(L"appearance", L"OPACITY", L"-"), L"200");
    EXPECT_EQ(store->GetString(L"\u00e4RGER", L"\u00f6L", L"-"), L"1");  // beyond ASCII too
    EXPECT_EQ(store->GetString(L"Appearance ", L"Opacity", L"-"), L"-");
}

TEST_F(IniExTest, HandWrittenOddLinesAreKeptDroppedOrMergedAsTheFormatSays)
{
    auto store = LoadFrom(";note\r\n=dropped\r\nOpacity = 5\r\n[Gone]\r\n[Kept]\r\nk=v\r\n[]\r\nafter=1\r\n");
    EXPECT_EQ(store->GetString(L"", L";note", L"-"), L"");
    EXPECT_EQ(store->GetString(L"", L"Opacity", L"-"), L"-");
    EXPECT_EQ(store->GetString(L"", L"Opacity ", L"-"), L" 5");
    store->SetString(L"Kept", L"k", L"w");
    EXPECT_EQ(Saved(*store), ";note=\r\nOpacity = 5\r\n\r\n[Kept]\r\nk=w\r\nafter=1\r\n");

    // After a new load the keys of the empty header belong to the section before it.
    auto reloaded = std::make_unique<CIniEx>();
    ASSERT_TRUE(reloaded->Load(file));
    EXPECT_EQ(reloaded->GetString(L"Kept", L"after", L"-"), L"1");
    EXPECT_EQ(reloaded->FindSection(L"Gone"), -1);
}

TEST_F(IniExTest, InlineCommentsAreCutFromTheLastSemicolonOnReading)
{
    auto store = LoadFrom("[A]\nOpacity=255 ; full\nShowTrayIcon=No;x\nList=a;b;c\nYes=Yes;\n");
    EXPECT_EQ(store->GetInt(0, L"A", L"Opacity"), 255);
    EXPECT_EQ(store->GetString(L"A", L"Opacity", L""), L"255 ");
    EXPECT_FALSE(store->GetBool(true, L"A", L"ShowTrayIcon"));
    EXPECT_EQ(store->GetString(L"A", L"List", L""), L"a;b");
    EXPECT_TRUE(store->GetBool(false, L"A", L"Yes"));
    EXPECT_EQ(store->GetString(L"A", L"Missing", L"x;y"), L"x;y");  // a default is answered as given
}

TEST_F(IniExTest, IntegersReadLikeWcstol)
{
    auto store = LoadFrom("[N]\na=12abc\nb=\nc=abc\nd=  -42\ne=+8\nf=0x10\n");
    EXPECT_EQ(store->GetInt(5, L"N", L"missing"), 5);
    EXPECT_EQ(store->GetInt(-5, L"Other", L"a"), -5);
    EXPECT_EQ(store->GetInt(5, L"N", L"a"), 12);
    EXPECT_EQ(store->GetInt(5, L"N", L"b"), 0);
    EXPECT_EQ(store->GetInt(5, L"N", L"c"), 0);
    EXPECT_EQ(store->GetInt(5, L"N", L"d"), -42);
    EXPECT_EQ(store->GetInt(5, L"N", L"e"), 8);
    EXPECT_EQ(store->GetInt(5, L"N", L"f"), 0);
}

TEST_F(IniExTest, OnlyYesInAnyLetterCaseIsTrue)
{
    auto store = LoadFrom("[B]\na=YES\nb=yes\nc=1\nd=true\ne=No\nf=Yes \n");
    EXPECT_TRUE(store->GetBool(false, L"B", L"a"));
    EXPECT_TRUE(store->GetBool(false, L"B", L"b"));
    for (const wchar_t* key : {L"c", L"d", L"e", L"f"})
        EXPECT_FALSE(store->GetBool(true, L"B", key)) << testing::PrintToString(std::wstring(key));
    EXPECT_TRUE(store->GetBool(true, L"B", L"missing"));
    EXPECT_FALSE(store->GetBool(false, L"B", L"missing"));
}

TEST_F(IniExTest, OnlyAChangeBeyondLetterCaseMakesTheStoreModified)
{
    auto store = LoadFrom("[B]\r\nShow=Yes\r\n");
    store->SetString(L"b", L"SHOW", L"Yes");
    EXPECT_FALSE(store->IsModified());
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
    const std::wstring unreachable = folder / L"no such folder\\settings.ini";
    {
        CIniEx store;
        EXPECT_FALSE(store.Load(unreachable));
        EXPECT_EQ(store.FilePath(), L"");
        store.SetString(L"General", L"Class", L"7");
        EXPECT_FALSE(store.IsModified());
        EXPECT_EQ(store.FindSection(L"General"), -1);
        EXPECT_EQ(store.GetInt(3, L"General", L"Class"), 3);
    }
    EXPECT_FALSE(Exists(folder / L"no such folder"));
}

TEST_F(IniExTest, OnlyTheFirstThousandLinesOfA1200LineFileAreKept)
{
    std::string bytes = "[S]\r\n";
    for (int i = 2; i <= 1200; ++i)
        bytes += "k" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    auto store = LoadFrom(bytes);
    EXPECT_EQ(store->GetString(L"S", L"k1000", L"-"), L"1000");
    EXPECT_EQ(store->GetString(L"S", L"k1001", L"-"), L"-");
    store->SetString(L"S", L"k2", L"changed");

    std::string expected = "\r\n[S]\r\nk2=changed\r\n";
    for (int i = 3; i <= 1000; ++i)
        expected += "k" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    EXPECT_EQ(Saved(*store), expected);
}

TEST_F(IniExTest, ALineOf1023CharactersIsReadAndOneOf1024EndsTheReading)
{
    const std::string line1023 = "long=" + Repeat('v', 1018);
    const std::string line1024 = "more=" + Repeat('w', 1019);
    auto store = LoadFrom("[S]\r\n" + line1023 + "\r\n" + line1024 + "\r\nlast=1\r\n");
    EXPECT_EQ(store->GetString(L"S", L"long", L"").size(), 1018u);
    EXPECT_EQ(store->GetString(L"S", L"more", L"-"), L"-");
    EXPECT_EQ(store->GetString(L"S", L"last", L"-"), L"-");
    store->SetString(L"S", L"k", L"1");
    // A written key line holds at most 1022 characters.
    EXPECT_EQ(Saved(*store), "\r\n[S]\r\nlong=" + Repeat('v', 1017) + "\r\nk=1\r\n");
}

TEST_F(IniExTest, Latin1SurvivesAndOtherCharactersBecomeQuestionMarks)
{
    auto store = LoadFrom("[S]\r\nName=Caf\xE9\r\n");
    EXPECT_EQ(store->GetString(L"S", L"Name", L""), L"Caf\u00e9");
    store->SetString(L"S", L"Euro", L"5 \u20ac");
    EXPECT_EQ(Saved(*store), "\r\n[S]\r\nName=Caf\xE9\r\nEuro=5 ?\r\n");
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
    EXPECT_EQ(store->FilePath(), second);
    EXPECT_EQ(store->GetString(L"S", L"s", L"-"), L"-");
    EXPECT_EQ(store->GetString(L"T", L"t", L"-"), L"1");
}

TEST_F(IniExTest, AFailedReplaceLeavesThePreviousFileIntactAndALaterSaveWrites)
{
    const std::string before = "; hand written\r\n[S]\r\ns=1\r\n";
    auto store = LoadFrom(before);
    store->SetString(L"S", L"s", L"2");
    {
        FakeSettingsSystem fake;
        fake.failReplace = true;
        ScopedSettingsSystem scoped(fake);
        store->Save();
        EXPECT_EQ(fake.replaces, 1);
    }
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_FALSE(Exists(file + L".tmp"));
    EXPECT_TRUE(store->IsModified());

    EXPECT_EQ(Saved(*store), "; hand written=\r\n\r\n[S]\r\ns=2\r\n");
    EXPECT_FALSE(Exists(file + L".tmp"));
}

TEST_F(IniExTest, ATemporaryFileThatCannotBeCreatedLeavesThePreviousFileIntact)
{
    const std::string before = "[S]\r\ns=1\r\n";
    auto store = LoadFrom(before);
    store->SetString(L"S", L"s", L"2");
    {
        FakeSettingsSystem fake;
        fake.unopenable.insert(file + L".tmp");
        ScopedSettingsSystem scoped(fake);
        store.reset();  // the destructor's save fails too
        EXPECT_EQ(fake.replaces, 0);
    }
    EXPECT_EQ(ReadBytes(file), before);
}

}  // namespace
