#include "settings/ini_ex.h"

#include <algorithm>
#include <cwchar>

#include "common/win_handles.h"
#include "settings/settings_system.h"

namespace {

constexpr DWORD kReadChunk = 64 * 1024;
constexpr int kMoveAttempts = 5;
constexpr DWORD kMoveRetryDelay = 100;  // milliseconds
constexpr wchar_t kTemporarySuffix[] = L".tmp";
constexpr wchar_t kBackupSuffix[] = L".bak";

std::wstring Lowered(std::wstring text)
{
    if (!text.empty())
        CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

bool SameText(const std::wstring& a, const std::wstring& b)
{
    return a.size() == b.size() && Lowered(a) == Lowered(b);
}

// Reads up to the bytes that can matter; complete is false when a read failed
// or the file holds more than those bytes.
std::string ReadBytes(HANDLE file, bool* complete)
{
    std::string bytes;
    *complete = true;
    while (bytes.size() < initext::kMaxUsefulBytes) {
        const std::size_t offset = bytes.size();
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(kReadChunk, initext::kMaxUsefulBytes - offset));
        bytes.resize(offset + want);
        DWORD got = 0;
        const BOOL ok = ReadFile(file, bytes.data() + offset, want, &got, nullptr);
        bytes.resize(offset + got);
        if (!ok) {
            *complete = false;
            return bytes;
        }
        if (got == 0)
            return bytes;
    }
    *complete = false;
    return bytes;
}

bool WriteAll(HANDLE file, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD wrote = 0;
        if (!WriteFile(file, bytes.data() + done, want, &wrote, nullptr) || wrote == 0)
            return false;
        done += wrote;
    }
    return true;
}

enum class Placed { Yes, No, OnlyTheTemporary };

// A scanner or an indexer that opened the new file just written makes the
// replace fail for a moment with a sharing violation or access denied.
bool Transient(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
}

DWORD ReplaceWithRetries(SettingsSystem& system, const std::wstring& target, const std::wstring& temporary,
                         const std::wstring& backup)
{
    DWORD error = system.ReplaceSettingsFile(target, temporary, backup);
    for (int attempt = 1; attempt < kMoveAttempts && Transient(error); ++attempt) {
        Sleep(kMoveRetryDelay);
        error = system.ReplaceSettingsFile(target, temporary, backup);
    }
    return error;
}

bool MoveWithRetries(SettingsSystem& system, const std::wstring& temporary, const std::wstring& target)
{
    for (int attempt = 0; attempt < kMoveAttempts; ++attempt) {
        if (attempt > 0)
            Sleep(kMoveRetryDelay);
        if (system.MoveIntoPlace(temporary, target))
            return true;
    }
    return false;
}

// Puts the fully written temporary file in the place of target in one step.
// ReplaceFileW may fail after it has already moved target away (1176: gone;
// 1177: renamed to the backup's name); the new text is then only in the
// temporary file, which is moved into place instead. Without a target the
// temporary is moved too. Whenever it is the only copy of the settings and
// cannot be moved, it stays for the next save (or the next start).
Placed PutInPlace(SettingsSystem& system, const std::wstring& target, const std::wstring& temporary)
{
    if (system.FileAttributes(target) == INVALID_FILE_ATTRIBUTES)
        return MoveWithRetries(system, temporary, target) ? Placed::Yes : Placed::OnlyTheTemporary;
    const std::wstring backup = target + kBackupSuffix;
    const DWORD error = ReplaceWithRetries(system, target, temporary, backup);
    if (error == ERROR_SUCCESS) {
        DeleteFileW(backup.c_str());
        return Placed::Yes;
    }
    if (error != ERROR_UNABLE_TO_MOVE_REPLACEMENT && error != ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
        return Placed::No;  // target is as it was
    if (!MoveWithRetries(system, temporary, target))
        return Placed::OnlyTheTemporary;
    DeleteFileW(backup.c_str());  // the old file, set aside by 1177
    return Placed::Yes;
}

// What a save cut short after writing the temporary file left: its text is
// whole (every line ends, as every save writes them, with CR LF).
bool CompleteSettingsText(const std::string& bytes)
{
    return bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\r\n") == 0;
}

// A complete temporary file left by a save that was cut short while the file
// itself is missing holds the newest settings: it takes the file's place.
void RecoverTemporary(SettingsSystem& system, const std::wstring& path)
{
    const std::wstring temporary = path + kTemporarySuffix;
    if (system.FileAttributes(path) != INVALID_FILE_ATTRIBUTES ||
        system.FileAttributes(temporary) == INVALID_FILE_ATTRIBUTES)
        return;
    UniqueHandle file(system.OpenFileHandle(temporary, GENERIC_READ, OPEN_EXISTING));
    if (!file)
        return;
    bool complete = true;
    const std::string bytes = ReadBytes(file.Get(), &complete);
    file.Reset();
    if (complete && CompleteSettingsText(bytes))
        MoveWithRetries(system, temporary, path);
}

}  // namespace

CIniEx::~CIniEx()
{
    if (saveOnDestroy_)
        Save();
}

bool CIniEx::Load(std::wstring path)
{
    if (!filePath_.empty()) {
        Save();
        Clear();
    }
    saveOnDestroy_ = true;

    SettingsSystem& system = CurrentSettingsSystem();
    RecoverTemporary(system, path);
    UniqueHandle file;
    // A file that cannot be asked about may still exist: create it only when it
    // is really missing, never truncate one that is there.
    if (system.FileAttributes(path) == INVALID_FILE_ATTRIBUTES)
        file.Reset(system.OpenFileHandle(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS));
    else
        file.Reset(system.OpenFileHandle(path, GENERIC_READ, OPEN_EXISTING));
    if (!file)
        return false;

    filePath_ = std::move(path);
    bool complete = true;
    const std::string bytes = ReadBytes(file.Get(), &complete);
    sections_ = initext::Parse(bytes, complete);
    return true;
}

void CIniEx::Save()
{
    if (!modified_ || filePath_.empty())
        return;
    const std::string bytes = initext::Format(sections_);
    const std::wstring temporary = filePath_ + kTemporarySuffix;

    SettingsSystem& system = CurrentSettingsSystem();
    UniqueHandle file(system.OpenFileHandle(temporary, GENERIC_WRITE, CREATE_ALWAYS));
    if (!file)
        return;
    const bool written = WriteAll(file.Get(), bytes) && system.FlushFile(file.Get());
    file.Reset();
    if (!written) {
        DeleteFileW(temporary.c_str());
        return;
    }
    const Placed placed = PutInPlace(system, filePath_, temporary);
    // Once the replace has let go of the file, the temporary holds the only
    // copy of the settings: it stays for the next save to try again.
    if (placed == Placed::No)
        DeleteFileW(temporary.c_str());
}

void CIniEx::Clear()
{
    sections_.clear();
    filePath_.clear();
    modified_ = false;
}

int CIniEx::FindSection(std::wstring name) const
{
    const std::wstring wanted = Lowered(std::move(name));
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        if (sections_[s].name.size() == wanted.size() && Lowered(sections_[s].name) == wanted)
            return static_cast<int>(s);
    }
    return -1;
}

int CIniEx::FindKey(int section, std::wstring key) const
{
    if (section < 0 || static_cast<std::size_t>(section) >= sections_.size())
        return -1;
    const std::wstring wanted = Lowered(std::move(key));
    const std::vector<std::wstring>& keys = sections_[section].keys;
    for (std::size_t k = keys.size(); k-- > 0;) {
        if (keys[k].size() == wanted.size() && Lowered(keys[k]) == wanted)
            return static_cast<int>(k);
    }
    return -1;
}

std::wstring CIniEx::GetString(std::wstring section, std::wstring key, std::wstring defaultValue) const
{
    const int s = FindSection(std::move(section));
    if (s < 0)
        return defaultValue;
    const int k = FindKey(s, std::move(key));
    if (k < 0)
        return defaultValue;
    std::wstring value = sections_[s].values[k];
    const std::size_t comment = value.rfind(L';');
    if (comment != std::wstring::npos)
        value.erase(comment);
    return value;
}

void CIniEx::SetString(std::wstring section, std::wstring key, std::wstring value)
{
    if (filePath_.empty())
        return;
    int s = FindSection(section);
    if (s < 0) {
        sections_.push_back({std::move(section), {}, {}});
        modified_ = true;
        s = static_cast<int>(sections_.size()) - 1;
    }
    initext::Section& target = sections_[s];
    const int k = FindKey(s, key);
    if (k < 0) {
        target.keys.push_back(std::move(key));
        target.values.push_back(std::move(value));
        modified_ = true;
        return;
    }
    if (!SameText(target.values[k], value))
        modified_ = true;
    target.values[k] = std::move(value);
}

int CIniEx::GetInt(int defaultValue, std::wstring section, std::wstring key) const
{
    const std::wstring text = GetString(std::move(section), std::move(key), std::to_wstring(defaultValue));
    return static_cast<int>(std::wcstol(text.c_str(), nullptr, 10));
}

void CIniEx::SetInt(int value, std::wstring section, std::wstring key)
{
    SetString(std::move(section), std::move(key), std::to_wstring(value));
}

bool CIniEx::GetBool(bool defaultValue, std::wstring section, std::wstring key) const
{
    return SameText(GetString(std::move(section), std::move(key), defaultValue ? trueWord_ : falseWord_), trueWord_);
}

void CIniEx::SetBool(bool value, std::wstring section, std::wstring key)
{
    SetString(std::move(section), std::move(key), value ? trueWord_ : falseWord_);
}
