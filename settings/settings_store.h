// The settings store: the key \Software\Quillat of the current user's registry, its values, and
// the reads and writes the windows make. Nothing is kept in memory: every operation opens the
// key (creating it when missing), reads or writes, and closes it again, also when it fails.
//
// Values: filter, spin, ra, ch, x, y (REG_DWORD) and DIR1 ... DIR5 (REG_SZ, written without a
// terminating zero). Failures are vcl::ERegistryException with the texts of vcl/registry.h.
//
// How the windows use it:
//
//   // K7Click
//   settings::SaveSettings({FilterComboBox1->ItemIndex(), OKRightDlg->SpinEdit1->Value(),
//                           OKRightDlg->RadioButton2->Checked(), OKRightDlg->CheckBox1->Checked(),
//                           Left(), Top()});
//
//   // SaveDirectory31Click
//   dir3->SetCaption(settings::SaveDirectory(3, DirectoryListBox1->Directory()));
//
//   // dir3Click
//   DirectoryListBox1->SetDirectory(settings::LoadDirectory(3));
//
//   // FormCreate of the browser window
//   settings::ReadAtStartup([&](settings::SettingsKey& key) {
//       for (int slot = 1; slot <= settings::kDirectorySlots; ++slot)
//           DirectoryItem(slot)->SetCaption(key.ReadDirectory(slot));
//       const settings::WindowPosition at = key.ReadPosition();
//       ... place the window at (at.left, at.top), the other steps ...
//       FilterComboBox1->SetItemIndex(key.ReadFilter());
//       ... the remaining steps ...
//   });
//
//   // FormCreate of the slide show dialog
//   settings::ReadAtStartup([&](settings::SettingsKey& key) {
//       SpinEdit1->SetValue(key.ReadInterval());
//       RadioButton2->SetChecked(key.ReadStartFromFirst());
//       CheckBox1->SetChecked(key.ReadLoop());
//   });
#pragma once

#include <functional>
#include <string>

#include "vcl/registry.h"

namespace settings {

// The key, from the root of the current user's registry.
inline constexpr const char* kSettingsKeyPath = "\\Software\\Quillat";

// Value names.
inline constexpr const char* kFilterValue = "filter"; // filter list index
inline constexpr const char* kIntervalValue = "spin"; // slide show interval, seconds
inline constexpr const char* kStartValue = "ra";      // 1: the show starts from the first file
inline constexpr const char* kLoopValue = "ch";       // 1: the show loops
inline constexpr const char* kLeftValue = "x";        // browser window's left edge, pixels
inline constexpr const char* kTopValue = "y";         // browser window's top edge, pixels

// Saved-directory slots are numbered 1 to kDirectorySlots.
inline constexpr int kDirectorySlots = 5;
// "DIR1" ... "DIR5"; std::out_of_range for any other slot.
std::string DirectoryValueName(int slot);

struct WindowPosition {
    int left = 0;
    int top = 0;
};

// Everything "設定の保存" writes, as the windows hold it.
struct SavedSettings {
    int filterIndex = 0;
    int interval = 1;
    bool startFromFirst = false;
    bool loop = false;
    int left = 0;
    int top = 0;
};

// The settings key, open for the lifetime of the object: one handler. The open's outcome is not
// looked at; a key that could not be opened makes every read find nothing and every write fail.
class SettingsKey {
public:
    SettingsKey();
    ~SettingsKey() = default; // the registry object closes the key

    // Text reads: absent gives the empty text; another type fails.
    std::string ReadDirectory(int slot);
    // Integer reads fail when the value is absent or not a 4-byte REG_DWORD.
    int ReadFilter();
    int ReadInterval(); // as stored: the spin edit pulls it into 1 to 60
    bool ReadStartFromFirst();
    bool ReadLoop();
    // Reads x, then y; fails at the first that cannot be read.
    WindowPosition ReadPosition();

    // Writes, each failing with the value's name when refused.
    void WriteDirectory(int slot, const std::string& directory);
    void WriteSettings(const SavedSettings& values);

    vcl::TRegistry& Registry() { return registry_; }

private:
    vcl::TRegistry registry_;
};

// Save the settings: writes filter, spin, ra, ch, x and y in that order. The first refused write
// raises its failure; the values written before it stay written.
void SaveSettings(const SavedSettings& values);

// Save the present directory in a slot: writes it, reads it back, and returns the text read, to
// become the caption of the slot's load item.
std::string SaveDirectory(int slot, const std::string& directory);

// Load a slot: the stored directory, or the empty text when the slot holds nothing. A value of
// another type raises the wrong-type failure naming DIRn.
std::string LoadDirectory(int slot);

// A start-up read: opens the key, runs `steps` with it, and closes it. The first failure of a
// read or of any other step (any vcl::Exception) ends the steps silently. True when all ran.
bool ReadAtStartup(const std::function<void(SettingsKey&)>& steps);

} // namespace settings
