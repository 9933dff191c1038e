#include "settings/settings_store.h"

#include <stdexcept>

#include "vcl/sysutils.h"

namespace settings {

std::string DirectoryValueName(int slot) {
    if (slot < 1 || slot > kDirectorySlots) {
        throw std::out_of_range("saved-directory slot " + std::to_string(slot));
    }
    return "DIR" + std::to_string(slot);
}

SettingsKey::SettingsKey() {
    registry_.OpenKey(kSettingsKeyPath, true);
}

std::string SettingsKey::ReadDirectory(int slot) {
    return registry_.ReadString(DirectoryValueName(slot));
}

int SettingsKey::ReadFilter() {
    return registry_.ReadInteger(kFilterValue);
}
int SettingsKey::ReadInterval() {
    return registry_.ReadInteger(kIntervalValue);
}
bool SettingsKey::ReadStartFromFirst() {
    return registry_.ReadBool(kStartValue);
}
bool SettingsKey::ReadLoop() {
    return registry_.ReadBool(kLoopValue);
}

WindowPosition SettingsKey::ReadPosition() {
    WindowPosition position;
    position.left = registry_.ReadInteger(kLeftValue);
    position.top = registry_.ReadInteger(kTopValue);
    return position;
}

void SettingsKey::WriteDirectory(int slot, const std::string& directory) {
    registry_.WriteString(DirectoryValueName(slot), directory);
}

void SettingsKey::WriteSettings(const SavedSettings& values) {
    registry_.WriteInteger(kFilterValue, values.filterIndex);
    registry_.WriteInteger(kIntervalValue, values.interval);
    registry_.WriteBool(kStartValue, values.startFromFirst);
    registry_.WriteBool(kLoopValue, values.loop);
    registry_.WriteInteger(kLeftValue, values.left);
    registry_.WriteInteger(kTopValue, values.top);
}

void SaveSettings(const SavedSettings& values) {
    SettingsKey().WriteSettings(values);
}

std::string SaveDirectory(int slot, const std::string& directory) {
    SettingsKey key;
    key.WriteDirectory(slot, directory);
    return key.ReadDirectory(slot);
}

std::string LoadDirectory(int slot) {
    return SettingsKey().ReadDirectory(slot);
}

bool ReadAtStartup(const std::function<void(SettingsKey&)>& steps) {
    SettingsKey key;
    try {
        steps(key);
        return true;
    } catch (const vcl::Exception&) {
        // The start-up reads end quietly at the first failure; the controls keep what they had.
        return false;
    }
}

} // namespace settings
