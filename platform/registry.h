// The current user's registry: keys holding typed values, kept in one text file per hive under
// the user's configuration folder ($XDG_CONFIG_HOME, else ~/.config), as
// zorvane/registry-HKCU.txt. The file's format is in registry_hive.h.
//
// Nothing is cached: every call reads the file, so two running copies of the program see each
// other's writes. Every change takes an exclusive lock on zorvane/registry-HKCU.lock, re-reads the
// file, applies the change and replaces the file atomically (temporary file, fsync, rename, fsync
// of the folder): concurrent writers lose no value, and a crash at any moment leaves either the old
// file or the new one. A file that cannot be read or parsed is renamed aside with a timestamp
// suffix (never deleted), and the registry starts empty, as on a first run.
//
// Calls return a result code: kRegSuccess or a system error code. Thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry_hive.h"

namespace platform {

// A key handle. The predefined root below is always open; others come from RegCreateKeyEx or
// RegOpenKeyEx and are released with RegCloseKey.
using RegKey = uint32_t;
inline constexpr RegKey kRegNoKey = 0;
inline constexpr RegKey kHkeyCurrentUser = 0x80000001;

// Result codes, numbered as the system error codes that the run-time texts know.
enum RegResult : long {
    kRegSuccess = 0,
    kRegNotFound = 2,      // no such key or value
    kRegAccessDenied = 5,  // the hive folder or file cannot be written
    kRegInvalidHandle = 6, // not an open key
    kRegWriteFault = 29,   // the file could not be written for another reason
    kRegInvalidParameter = 87,
    kRegDiskFull = 112,
    kRegBadPathName = 161,    // an empty, too long or otherwise invalid key path part
    kRegQuotaExceeded = 1816, // the value or the whole hive would pass its size limit
};

enum class RegDisposition { CreatedNewKey, OpenedExistingKey };

// Opens the key `subKey` (parts separated by "\") below `parent`, creating it and any missing
// parents when absent. An empty `subKey` opens `parent` itself again.
long RegCreateKeyEx(RegKey parent, std::string_view subKey, RegKey* result,
                    RegDisposition* disposition = nullptr);
// Opens an existing key; kRegNotFound when it is absent. Creates nothing.
long RegOpenKeyEx(RegKey parent, std::string_view subKey, RegKey* result);
// The type and bytes of the value `name` (empty: the key's default value); kRegNotFound when
// the key has no such value. `type` and `data` may be null.
long RegQueryValueEx(RegKey key, std::string_view name, uint32_t* type, std::string* data);
// Stores the value, replacing any earlier one of that name. The key is recreated when the hive
// file lost it meanwhile (removed by hand or set aside as corrupt), so no write is lost.
long RegSetValueEx(RegKey key, std::string_view name, uint32_t type, std::string_view data);
// Releases a handle. Closing the predefined root does nothing.
long RegCloseKey(RegKey key);

// The hive file and its lock file, from the environment at the time of the call.
std::string RegHiveFilePath();
std::string RegHiveLockPath();

} // namespace platform
