// What the file-system controls read from the disk: the plain files of a folder that match a
// mask, its subfolders, the mount points standing in for drives, and the working directory.
// Names are the file system's bytes, kept exactly.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vcl {

// The patterns of a ";"-separated mask, empty parts dropped.
std::vector<std::string> SplitMask(std::string_view mask);

// Wildcard match ("*" any run, "?" one byte) ignoring the case of A-Z; "*.*" matches every name.
bool MatchesPattern(std::string_view name, std::string_view pattern);

// Orders names without regard to the case of A-Z; names equal that way keep a fixed byte order.
bool LessIgnoringCase(std::string_view a, std::string_view b);

// The non-hidden plain files of the folder that match at least one pattern, each listed once,
// sorted with LessIgnoringCase. Raises EInOutError when the folder cannot be read.
std::vector<std::string> ListMatchingFiles(const std::string& directory, std::string_view mask);

// The non-hidden subfolders of the folder, sorted with LessIgnoringCase.
std::vector<std::string> ListSubdirectories(const std::string& directory);

// Makes the folder the working directory and returns it as the system spells it. Raises
// EInOutError with the system's error code when it cannot be entered.
std::string EnterDirectory(const std::string& directory);
std::string WorkingDirectory();

// The folder's path and a name joined by one "/".
std::string JoinPath(const std::string& directory, const std::string& name);
// The folders from the root down to the directory itself: "/", "/a", "/a/b".
std::vector<std::string> PathChain(const std::string& directory);

// Mount points of real file systems, "/" always among them, sorted.
std::vector<std::string> MountPoints();
// The mount point (among MountPoints()) that holds the directory.
std::string DriveOf(const std::string& directory);

} // namespace vcl
