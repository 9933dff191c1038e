#include "platform/registry.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr const char* kAppFolder = "zorvane";
constexpr const char* kHiveFileName = "registry-HKCU.txt";
constexpr const char* kLockFileName = "registry-HKCU.lock";
constexpr const char* kTempSuffix = ".tmp";
constexpr const char* kSetAsideInfix = ".corrupt-";
constexpr mode_t kPrivateFileMode = 0600;
constexpr mode_t kPrivateFolderMode = 0700;
constexpr int kMaxSetAsideAttempts = 1000;

// ---- Where the hive lives ----

std::string ConfigFolder() {
    // Relative values are ignored, as the base directory rules ask.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.config";
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) {
        return std::string(pw->pw_dir) + "/.config";
    }
    return {};
}

std::string HiveFolder() {
    const std::string config = ConfigFolder();
    return config.empty() ? std::string() : config + "/" + kAppFolder;
}

long ResultFromErrno(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return kRegNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return kRegAccessDenied;
    case ENOSPC:
    case EDQUOT:
        return kRegDiskFull;
    default:
        return kRegWriteFault;
    }
}

// Creates the folder and its missing parents, private to the user.
int MakeFolders(const std::string& folder) {
    for (size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string part = folder.substr(0, end);
        if (mkdir(part.c_str(), kPrivateFolderMode) != 0 && errno != EEXIST) return errno;
        if (end == std::string::npos) break;
    }
    struct stat st;
    if (stat(folder.c_str(), &st) != 0) return errno;
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

// ---- Reading ----

enum class LoadStatus { Loaded, Missing, Bad };

LoadStatus LoadHive(const std::string& file, RegHive& hive) {
    hive = RegHive{};
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? LoadStatus::Missing : LoadStatus::Bad;
    std::string text;
    struct stat st;
    bool ok =
        fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && size_t(st.st_size) <= kRegMaxHiveFileBytes;
    if (ok) {
        text.resize(size_t(st.st_size));
        size_t got = 0;
        while (got < text.size()) {
            const ssize_t n = read(fd, text.data() + got, text.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += size_t(n);
        }
        // Files are replaced, never rewritten in place, so a short read is a real fault.
        ok = got == text.size();
    }
    close(fd);
    if (!ok) return LoadStatus::Bad;
    auto parsed = ParseHive(text);
    if (!parsed) return LoadStatus::Bad;
    hive = std::move(*parsed);
    return LoadStatus::Loaded;
}

// Renames a bad hive file aside, never replacing an earlier one. False when it stays in place.
bool SetAside(const std::string& file) {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    for (int attempt = 0; attempt < kMaxSetAsideAttempts; ++attempt) {
        std::string target = file + kSetAsideInfix + stamp;
        if (attempt > 0) target += "-" + std::to_string(attempt);
        if (renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
            return true;
        }
        if (errno == EEXIST) continue;
        if (errno != EINVAL && errno != ENOSYS) return false;
        // A file system without the no-replace rename: a hard link cannot replace either.
        if (link(file.c_str(), target.c_str()) == 0) return unlink(file.c_str()) == 0;
        if (errno != EEXIST) return false;
    }
    return false;
}

// ---- Writing ----

// An exclusive lock on the hive's lock file, held while it lives.
class HiveLock {
public:
    explicit HiveLock(const std::string& lockFile) {
        fd_ = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kPrivateFileMode);
        if (fd_ < 0) {
            error_ = errno;
            return;
        }
        while (flock(fd_, LOCK_EX) != 0) {
            if (errno == EINTR) continue;
            error_ = errno;
            break;
        }
    }
    ~HiveLock() {
        if (fd_ >= 0) close(fd_);
    }
    HiveLock(const HiveLock&) = delete;
    HiveLock& operator=(const HiveLock&) = delete;
    int Error() const { return error_; }

private:
    int fd_ = -1;
    int error_ = 0;
};

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        bytes.remove_prefix(size_t(n));
    }
    return 0;
}

// Replaces the file with `text` so that a crash leaves the old file or the new one.
long ReplaceFile(const std::string& folder, const std::string& file, std::string_view text) {
    // The temporary name is fixed: only the lock holder writes it, and one left by a killed
    // writer is simply overwritten.
    const std::string temp = file + kTempSuffix;
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kPrivateFileMode);
    if (fd < 0) return ResultFromErrno(errno);
    int error = WriteAll(fd, text);
    if (!error && fsync(fd) != 0) error = errno;
    if (close(fd) != 0 && !error) error = errno;
    if (!error && rename(temp.c_str(), file.c_str()) != 0) error = errno;
    if (error) {
        unlink(temp.c_str());
        return ResultFromErrno(error);
    }
    // Makes the rename itself durable.
    if (const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return kRegSuccess;
}

// Applies `change` to the hive under the lock. `change` returns a result code and sets
// `changed` when the file must be rewritten.
long ModifyHive(const std::function<long(RegHive&, bool& changed)>& change) {
    const std::string folder = HiveFolder();
    if (folder.empty()) return kRegAccessDenied;
    if (const int error = MakeFolders(folder)) return ResultFromErrno(error);
    HiveLock lock(RegHiveLockPath());
    if (lock.Error()) return ResultFromErrno(lock.Error());
    const std::string file = RegHiveFilePath();
    RegHive hive;
    // A bad file that cannot be set aside is left alone rather than overwritten.
    if (LoadHive(file, hive) == LoadStatus::Bad && !SetAside(file)) return kRegAccessDenied;
    bool changed = false;
    const long result = change(hive, changed);
    if (result != kRegSuccess || !changed) return result;
    const std::string text = SerializeHive(hive);
    if (text.size() > kRegMaxHiveFileBytes) return kRegQuotaExceeded;
    return ReplaceFile(folder, file, text);
}

// The hive for reading. A bad file is set aside under the lock, after checking again that a
// writer has not just replaced it with a good one.
RegHive ReadHive() {
    RegHive hive;
    const std::string file = RegHiveFilePath();
    if (HiveFolder().empty() || LoadHive(file, hive) != LoadStatus::Bad) return hive;
    HiveLock lock(RegHiveLockPath());
    if (lock.Error()) return RegHive{};
    if (LoadHive(file, hive) == LoadStatus::Bad) SetAside(file);
    return hive;
}

// ---- Handles ----

std::mutex gHandlesMutex;
std::map<RegKey, std::string> gOpenKeys; // handle to the key's path in the hive
RegKey gNextHandle = 1;

std::optional<std::string> KeyPathOf(RegKey key) {
    if (key == kHkeyCurrentUser) return std::string();
    std::lock_guard guard(gHandlesMutex);
    const auto it = gOpenKeys.find(key);
    if (it == gOpenKeys.end()) return std::nullopt;
    return it->second;
}

RegKey NewHandle(std::string path) {
    std::lock_guard guard(gHandlesMutex);
    while (gNextHandle == kRegNoKey || gNextHandle == kHkeyCurrentUser ||
           gOpenKeys.contains(gNextHandle)) {
        ++gNextHandle;
    }
    const RegKey handle = gNextHandle++;
    gOpenKeys.emplace(handle, std::move(path));
    return handle;
}

// The full path of `subKey` below `parent`, or a result code.
long ResolveSubKey(RegKey parent, std::string_view subKey, std::string& path) {
    const auto parentPath = KeyPathOf(parent);
    if (!parentPath) return kRegInvalidHandle;
    path = *parentPath;
    if (subKey.empty()) return kRegSuccess;
    size_t depth = 0;
    for (size_t start = 0;;) {
        const size_t end = subKey.find('\\', start);
        const auto part = subKey.substr(start, end - start);
        if (!IsValidKeyPart(part) || ++depth > kRegMaxKeyDepth) return kRegBadPathName;
        if (!path.empty()) path += '\\';
        path += part;
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return kRegSuccess;
}

bool KeyExists(const RegHive& hive, const std::string& path) {
    return path.empty() || hive.keys.contains(path);
}

} // namespace

std::string RegHiveFilePath() {
    const std::string folder = HiveFolder();
    return folder.empty() ? std::string() : folder + "/" + kHiveFileName;
}

std::string RegHiveLockPath() {
    const std::string folder = HiveFolder();
    return folder.empty() ? std::string() : folder + "/" + kLockFileName;
}

long RegCreateKeyEx(RegKey parent, std::string_view subKey, RegKey* result,
                    RegDisposition* disposition) {
    if (!result) return kRegInvalidParameter;
    *result = kRegNoKey;
    std::string path;
    if (const long r = ResolveSubKey(parent, subKey, path)) return r;
    bool created = false;
    // Most opens find the key; only a missing key needs the lock and a write.
    if (!KeyExists(ReadHive(), path)) {
        const long r = ModifyHive([&](RegHive& hive, bool& changed) {
            created = changed = !path.empty() && EnsureKeyPath(hive, path);
            return kRegSuccess;
        });
        if (r != kRegSuccess) return r;
    }
    if (disposition) {
        *disposition = created ? RegDisposition::CreatedNewKey : RegDisposition::OpenedExistingKey;
    }
    *result = NewHandle(std::move(path));
    return kRegSuccess;
}

long RegOpenKeyEx(RegKey parent, std::string_view subKey, RegKey* result) {
    if (!result) return kRegInvalidParameter;
    *result = kRegNoKey;
    std::string path;
    if (const long r = ResolveSubKey(parent, subKey, path)) return r;
    if (!KeyExists(ReadHive(), path)) return kRegNotFound;
    *result = NewHandle(std::move(path));
    return kRegSuccess;
}

long RegQueryValueEx(RegKey key, std::string_view name, uint32_t* type, std::string* data) {
    const auto path = KeyPathOf(key);
    if (!path) return kRegInvalidHandle;
    const RegHive hive = ReadHive();
    const auto keyIt = hive.keys.find(*path);
    if (keyIt == hive.keys.end()) return kRegNotFound;
    const auto valueIt = keyIt->second.find(std::string(name));
    if (valueIt == keyIt->second.end()) return kRegNotFound;
    if (type) *type = valueIt->second.type;
    if (data) *data = valueIt->second.data;
    return kRegSuccess;
}

long RegSetValueEx(RegKey key, std::string_view name, uint32_t type, std::string_view data) {
    const auto path = KeyPathOf(key);
    if (!path) return kRegInvalidHandle;
    if (name.size() > kRegMaxValueNameBytes || name.find('\0') != std::string_view::npos) {
        return kRegInvalidParameter;
    }
    if (data.size() > kRegMaxValueDataBytes) return kRegQuotaExceeded;
    return ModifyHive([&](RegHive& hive, bool& changed) {
        EnsureKeyPath(hive, *path);
        RegValue wanted{type, std::string(data)};
        auto [it, added] = hive.keys[*path].try_emplace(std::string(name), wanted);
        changed = added || !(it->second == wanted);
        it->second = std::move(wanted);
        return kRegSuccess;
    });
}

long RegCloseKey(RegKey key) {
    if (key == kHkeyCurrentUser) return kRegSuccess;
    std::lock_guard guard(gHandlesMutex);
    return gOpenKeys.erase(key) ? kRegSuccess : kRegInvalidHandle;
}

} // namespace platform
