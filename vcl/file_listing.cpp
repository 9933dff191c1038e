#include "vcl/file_listing.h"

#include "vcl/sysutils.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

namespace vcl {

namespace {

char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool MatchFrom(std::string_view name, std::string_view pattern) {
    // Iterative match with one backtrack point for the last "*".
    size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

enum class EntryKind { File, Directory, Other };

// Follows symbolic links, as opening the entry would.
EntryKind KindOf(int dirFd, const dirent* entry) {
    switch (entry->d_type) {
    case DT_REG:
        return EntryKind::File;
    case DT_DIR:
        return EntryKind::Directory;
    case DT_LNK:
    case DT_UNKNOWN:
        break;
    default:
        return EntryKind::Other;
    }
    struct stat info {};
    if (fstatat(dirFd, entry->d_name, &info, 0) != 0) return EntryKind::Other;
    if (S_ISREG(info.st_mode)) return EntryKind::File;
    if (S_ISDIR(info.st_mode)) return EntryKind::Directory;
    return EntryKind::Other;
}

template <class Visit> void ReadFolder(const std::string& directory, Visit visit) {
    std::unique_ptr<DIR, DirCloser> dir(opendir(directory.c_str()));
    if (!dir) throw EInOutError(SystemErrorFromErrno(errno));
    const int fd = dirfd(dir.get());
    while (const dirent* entry = readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name.empty() || name.front() == '.') continue; // hidden, and "." and ".."
        visit(name, KindOf(fd, entry));
    }
}

} // namespace

std::vector<std::string> SplitMask(std::string_view mask) {
    std::vector<std::string> patterns;
    size_t start = 0;
    while (start <= mask.size()) {
        const size_t end = std::min(mask.find(';', start), mask.size());
        std::string_view part = mask.substr(start, end - start);
        while (!part.empty() && part.front() == ' ')
            part.remove_prefix(1);
        while (!part.empty() && part.back() == ' ')
            part.remove_suffix(1);
        if (!part.empty()) patterns.emplace_back(part);
        start = end + 1;
    }
    return patterns;
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
    if (pattern == "*.*") return true; // every name, with or without a dot
    return MatchFrom(name, pattern);
}

bool LessIgnoringCase(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(FoldCase(a[i]));
        const auto y = static_cast<unsigned char>(FoldCase(b[i]));
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

std::vector<std::string> ListMatchingFiles(const std::string& directory, std::string_view mask) {
    const std::vector<std::string> patterns = SplitMask(mask);
    std::vector<std::string> names;
    ReadFolder(directory, [&](std::string_view name, EntryKind kind) {
        if (kind != EntryKind::File) return;
        for (const std::string& pattern : patterns) {
            if (MatchesPattern(name, pattern)) {
                names.emplace_back(name); // once, however many patterns it matches
                break;
            }
        }
    });
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
}

std::vector<std::string> ListSubdirectories(const std::string& directory) {
    std::vector<std::string> names;
    ReadFolder(directory, [&](std::string_view name, EntryKind kind) {
        if (kind == EntryKind::Directory) names.emplace_back(name);
    });
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
}

std::string WorkingDirectory() {
    std::string buffer(4096, '\0');
    while (!getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE) throw EInOutError(SystemErrorFromErrno(errno));
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(buffer.find('\0'));
    return buffer;
}

std::string EnterDirectory(const std::string& directory) {
    if (directory.empty()) throw EInOutError(3);
    if (chdir(directory.c_str()) != 0) throw EInOutError(SystemErrorFromErrno(errno));
    return WorkingDirectory();
}

std::string JoinPath(const std::string& directory, const std::string& name) {
    if (!directory.empty() && directory.back() == '/') return directory + name;
    return directory + "/" + name;
}

std::vector<std::string> PathChain(const std::string& directory) {
    std::vector<std::string> chain{"/"};
    size_t pos = 1;
    while (pos < directory.size()) {
        size_t next = directory.find('/', pos);
        if (next == std::string::npos) next = directory.size();
        if (next > pos) chain.push_back(directory.substr(0, next));
        pos = next + 1;
    }
    return chain;
}

namespace {

// File systems that hold no user files.
bool IsPseudoFileSystem(const std::string& type) {
    static const std::set<std::string> pseudo = {
        "proc",        "sysfs",           "devtmpfs",   "devpts",
        "tmpfs",       "cgroup",          "cgroup2",    "mqueue",
        "securityfs",  "debugfs",         "tracefs",    "pstore",
        "bpf",         "autofs",          "hugetlbfs",  "configfs",
        "fusectl",     "binfmt_misc",     "rpc_pipefs", "nsfs",
        "ramfs",       "efivarfs",        "selinuxfs",  "squashfs",
        "fuse.portal", "overlay_internal"};
    return pseudo.count(type) != 0;
}

bool UnderSystemFolder(const std::string& path) {
    for (const char* prefix : {"/proc", "/sys", "/dev", "/run", "/boot/efi"})
        if (path == prefix || path.rfind(std::string(prefix) + "/", 0) == 0) return true;
    return false;
}

// Mount points are written with octal escapes for blanks and backslashes.
std::string Unescape(const std::string& field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string digits = field.substr(i + 1, 3);
            if (digits.size() == 3 && std::all_of(digits.begin(), digits.end(),
                                                  [](char c) { return c >= '0' && c <= '7'; })) {
                out += static_cast<char>(std::stoi(digits, nullptr, 8));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

bool IsUnder(const std::string& path, const std::string& root) {
    if (root == "/") return !path.empty() && path.front() == '/';
    return path == root || (path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
                            path[root.size()] == '/');
}

} // namespace

std::vector<std::string> MountPoints() {
    std::set<std::string> points{"/"};
    std::ifstream mounts("/proc/self/mounts");
    std::string line;
    while (std::getline(mounts, line)) {
        std::istringstream fields(line);
        std::string device, point, type;
        if (!(fields >> device >> point >> type)) continue;
        point = Unescape(point);
        if (IsPseudoFileSystem(type) || UnderSystemFolder(point)) continue;
        points.insert(point);
    }
    return {points.begin(), points.end()};
}

std::string DriveOf(const std::string& directory) {
    std::string best = "/";
    for (const std::string& point : MountPoints())
        if (IsUnder(directory, point) && point.size() > best.size()) best = point;
    return best;
}

} // namespace vcl
