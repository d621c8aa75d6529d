#include "display/drive_tray.h"

#include <algorithm>

#include "settings/settings_model.h"
#include "sources/rates.h"

std::wstring DriveTrayLabel(const IndicatorEntry& entry)
{
    std::wstring label = entry.label;
    if (entry.kind == kKindLogicalDisk && !label.empty() && label.back() == L':')
        label.pop_back();
    return label;
}

std::wstring DriveTrayTip(performance_data& record)
{
    std::wstring tip = record.entry ? record.entry->displayName : std::wstring();
    std::uint64_t read = 0;
    std::uint64_t write = 0;
    if (record.Rates(read, write)) {
        const auto rate = [](std::uint64_t bytes) {
            return FormatRate(static_cast<std::int64_t>(std::min<std::uint64_t>(bytes, INT64_MAX)));
        };
        tip += L"\nRead: " + rate(read) + L"\nWrite: " + rate(write);
    }
    return tip;
}

bool HasDriveTrayIcon(const gui_data& data)
{
    const IndicatorEntry* entry = data.Entry();
    return entry && (entry->kind == kKindPhysicalDrive || entry->kind == kKindLogicalDisk);
}

void DriveTrayIcons::UseIcons(HICON application, HICON ledOff, HICON ledOn)
{
    application_ = application;
    ledOff_ = ledOff;
    ledOn_ = ledOn;
}

UINT DriveTrayIcons::FreeId() const
{
    UINT id = kFirstDriveTrayId;
    while (std::any_of(drives_.begin(), drives_.end(), [id](const DriveIcon& drive) { return drive.icon->Id() == id; }))
        ++id;
    return id;
}

void DriveTrayIcons::Paint(DriveIcon& drive, const SettingsBlock& settings)
{
    drive.icon->BuildLedIcons(settings, dpi_, drive.label);
}

bool DriveTrayIcons::Sync(HWND owner, const DisplayList& displays, const SettingsBlock& settings, UINT dpi)
{
    if (dpi != dpi_)
        Repaint(settings, dpi);
    const auto wanted = [&displays](const DriveIcon& drive) {
        return std::any_of(displays.begin(), displays.end(), [&drive](const auto& data) {
            return data->tray && HasDriveTrayIcon(*data) && data->Entry()->devicePath == drive.devicePath;
        });
    };
    // Gone first (their owners remove them), so that their ids are free again.
    drives_.erase(
        std::remove_if(drives_.begin(), drives_.end(), [&](const DriveIcon& drive) { return !wanted(drive); }),
        drives_.end());
    bool complete = true;
    for (const auto& data : displays) {
        if (!data->tray || !HasDriveTrayIcon(*data))
            continue;
        const IndicatorEntry& entry = *data->Entry();
        auto drive = std::find_if(drives_.begin(), drives_.end(),
                                  [&entry](const DriveIcon& icon) { return icon.devicePath == entry.devicePath; });
        if (drive == drives_.end()) {
            DriveIcon added{entry.devicePath, DriveTrayLabel(entry), nullptr, std::make_unique<TrayIcon>(FreeId())};
            added.icon->UseIcons(application_, ledOff_, ledOn_);
            Paint(added, settings);
            drive = drives_.insert(drives_.end(), std::move(added));
        }
        drive->record = data->record.get();
        if (!drive->icon->Present())
            drive->icon->SetTip(DriveTrayTip(*drive->record).c_str());
        complete = drive->icon->Add(owner, State(*drive), settings) && complete;
    }
    return complete;
}

void DriveTrayIcons::Unbind()
{
    for (DriveIcon& drive : drives_)
        drive.record = nullptr;
}

void DriveTrayIcons::RemoveAll()
{
    drives_.clear();
}

void DriveTrayIcons::AddAgain(HWND owner, const SettingsBlock& settings, UINT dpi)
{
    if (dpi != dpi_)
        Repaint(settings, dpi);
    for (DriveIcon& drive : drives_)
        drive.icon->AddAgain(owner, State(drive), settings);
}

void DriveTrayIcons::Repaint(const SettingsBlock& settings, UINT dpi)
{
    dpi_ = dpi;
    for (DriveIcon& drive : drives_) {
        Paint(drive, settings);
        drive.icon->Update(State(drive), settings);
    }
}

bool DriveTrayIcons::UpdateDue(const SettingsBlock& settings) const
{
    return std::any_of(drives_.begin(), drives_.end(), [&](const DriveIcon& drive) {
        return drive.icon->Present() && drive.icon->Shown() != drive.icon->ImageFor(State(drive), settings);
    });
}

void DriveTrayIcons::Update(const SettingsBlock& settings)
{
    for (DriveIcon& drive : drives_)
        drive.icon->Update(State(drive), settings);
}

const TrayIcon* DriveTrayIcons::Find(UINT id) const
{
    for (const DriveIcon& drive : drives_) {
        if (drive.icon->Id() == id)
            return drive.icon.get();
    }
    return nullptr;
}

void DriveTrayIcons::RefreshTip(UINT id)
{
    for (DriveIcon& drive : drives_) {
        if (drive.icon->Id() == id && drive.record)
            drive.icon->SetTip(DriveTrayTip(*drive.record).c_str());
    }
}
