// Two running copies of the program share the hive file: concurrent writers must lose no value,
// and a writer killed at any moment must leave a file that reads back.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "hive_env.h"
#include "platform/registry.h"
#include "platform/registry_hive.h"

namespace {

using namespace platform;
using registry_test::HiveEnv;

class SharedHive : public HiveEnv {};

constexpr const char* kKeyPath = "Software\\Quillat";

std::string ValueBytes(int n) {
    return "value " + std::to_string(n);
}

// In a child process: waits for the start signal, then writes `count` values named
// prefix0, prefix1, ... and returns 0 when every write succeeded.
int WriteMany(int startPipe, const std::string& prefix, int count) {
    char go;
    if (read(startPipe, &go, 1) < 0) return 2;
    RegKey key = kRegNoKey;
    if (RegCreateKeyEx(kHkeyCurrentUser, kKeyPath, &key) != kRegSuccess) return 3;
    for (int i = 0; i < count; ++i) {
        if (RegSetValueEx(key, prefix + std::to_string(i), kRegSz, ValueBytes(i)) != kRegSuccess) {
            return 4;
        }
        // Both also write one shared value: the last save wins, and it is one of theirs.
        if (RegSetValueEx(key, "shared", kRegSz, prefix) != kRegSuccess) return 5;
    }
    RegCloseKey(key);
    return 0;
}

TEST_F(SharedHive, TwoWritersAtOnceLoseNothing) {
    constexpr int kWrites = 50;
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    std::vector<pid_t> children;
    for (const char* prefix : {"a", "b"}) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(pipeFds[1]);
            _exit(WriteMany(pipeFds[0], prefix, kWrites));
        }
        children.push_back(pid);
    }
    close(pipeFds[0]);
    close(pipeFds[1]); // both start now
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }

    RegKey key = kRegNoKey;
    ASSERT_EQ(RegOpenKeyEx(kHkeyCurrentUser, kKeyPath, &key), kRegSuccess);
    int missing = 0;
    for (const char* prefix : {"a", "b"}) {
        for (int i = 0; i < kWrites; ++i) {
            std::string data;
            const bool found =
                RegQueryValueEx(key, prefix + std::to_string(i), nullptr, &data) == kRegSuccess;
            missing += !(found && data == ValueBytes(i));
        }
    }
    EXPECT_EQ(missing, 0);
    std::string shared;
    EXPECT_EQ(RegQueryValueEx(key, "shared", nullptr, &shared), kRegSuccess);
    EXPECT_TRUE(shared == "a" || shared == "b") << shared;
    RegCloseKey(key);
    EXPECT_TRUE(SetAsideFiles().empty());
}

TEST_F(SharedHive, WriterKilledAtAnyMomentLeavesAReadableHive) {
    // Kills until several landed inside a write (the temporary file left behind), within a bound.
    constexpr int kKillsInsideAWrite = 3;
    constexpr int kMaxRounds = 200;
    // A large value makes every write long, so many kills land inside one.
    const std::string ballast(kRegMaxValueDataBytes, 'Z');
    std::chrono::steady_clock::duration oneWrite;
    {
        RegKey key = kRegNoKey;
        ASSERT_EQ(RegCreateKeyEx(kHkeyCurrentUser, kKeyPath, &key), kRegSuccess);
        ASSERT_EQ(RegSetValueEx(key, "ballast", kRegSz, ballast), kRegSuccess);
        const auto start = std::chrono::steady_clock::now();
        ASSERT_EQ(RegSetValueEx(key, "n", kRegDword, std::string(4, '\0')), kRegSuccess);
        oneWrite = std::chrono::steady_clock::now() - start;
        RegCloseKey(key);
    }
    const auto temp = std::filesystem::path(HiveFile().string() + ".tmp");
    int killedInsideAWrite = 0;
    for (int round = 0; round < kMaxRounds && killedInsideAWrite < kKillsInsideAWrite; ++round) {
        SCOPED_TRACE(round);
        int started[2];
        ASSERT_EQ(pipe(started), 0);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(started[0]);
            RegKey key = kRegNoKey;
            RegCreateKeyEx(kHkeyCurrentUser, kKeyPath, &key);
            for (int i = 0;; ++i) {
                RegSetValueEx(key, "n", kRegDword, std::string(4, char(i)));
                if (i == 0 && write(started[1], "1", 1) < 0) _exit(1);
            }
        }
        close(started[1]);
        char byte;
        ASSERT_EQ(read(started[0], &byte, 1), 1); // one write finished
        close(started[0]);
        // Kill at a different point of the next write each round.
        std::this_thread::sleep_for(oneWrite * ((round * 7) % 20) / 20);
        kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        killedInsideAWrite += std::filesystem::exists(temp);

        const auto hive = ParseHive(registry_test::ReadFile(HiveFile()));
        ASSERT_TRUE(hive);
        const auto& values = hive->keys.at(kKeyPath);
        EXPECT_EQ(values.at("ballast").data, ballast);
        EXPECT_EQ(values.at("n").type, kRegDword);
        // The next writer takes over the temporary file a killed one left.
        RegKey key = kRegNoKey;
        ASSERT_EQ(RegCreateKeyEx(kHkeyCurrentUser, kKeyPath, &key), kRegSuccess);
        ASSERT_EQ(RegSetValueEx(key, "after", kRegSz, std::to_string(round)), kRegSuccess);
        RegCloseKey(key);
        EXPECT_FALSE(std::filesystem::exists(temp));
    }
    EXPECT_EQ(killedInsideAWrite, kKillsInsideAWrite) << "too few kills landed inside a write";
    EXPECT_TRUE(SetAsideFiles().empty());
}

} // namespace
