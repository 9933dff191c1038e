#include "platform/shell.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

namespace platform {

namespace {

// Resolved before forking: only async-signal-safe calls run between fork and exec.
std::string FindOnPath(std::string_view name) {
    const char* path = std::getenv("PATH");
    std::string_view dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const size_t colon = dirs.find(':');
        std::string dir(dirs.substr(0, colon));
        if (dir.empty()) dir = ".";
        std::string candidate = dir + "/" + std::string(name);
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        if (colon == std::string_view::npos) return {};
        dirs.remove_prefix(colon + 1);
    }
}

} // namespace

bool ShellOpen(const std::string& file, const std::string& folder) {
    const std::string program = FindOnPath(kOpenCommand);
    if (program.empty()) return false;
    char* const argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(file.c_str()),
                          nullptr};
    // Fork twice so the opener is adopted by init and never becomes our zombie.
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            if (!folder.empty()) (void)::chdir(folder.c_str());
            ::execv(program.c_str(), argv);
            ::_exit(127);
        }
        ::_exit(grandchild < 0 ? 1 : 0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace platform
