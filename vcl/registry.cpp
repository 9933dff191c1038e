#include "vcl/registry.h"

#include "vcl/sysutils.h"

namespace vcl {

namespace {

constexpr const char* kWrongTypeText = "'%s' のﾃﾞｰﾀ型が不正です";
constexpr const char* kReadFailedText = "'%s' の読み込みに失敗しました";
constexpr const char* kWriteFailedText = "'%s' の設定に失敗しました";
constexpr size_t kDwordBytes = 4;

[[noreturn]] void Fail(const char* text, const std::string& name) {
    throw ERegistryException(Format(text, name.c_str()));
}

} // namespace

void TRegistry::SetRootKey(platform::RegKey root) {
    CloseKey();
    rootKey_ = root;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
    std::string path = key;
    const bool fromRoot = !path.empty() && path.front() == '\\';
    if (fromRoot) path.erase(0, 1);
    if (!path.empty() && path.back() == '\\') path.pop_back();
    const bool relative = !fromRoot && currentKey_ != platform::kRegNoKey;
    const platform::RegKey parent = relative ? currentKey_ : rootKey_;
    platform::RegKey opened = platform::kRegNoKey;
    const long result = canCreate ? platform::RegCreateKeyEx(parent, path, &opened)
                                  : platform::RegOpenKeyEx(parent, path, &opened);
    if (result != platform::kRegSuccess) return false;
    std::string fullPath = relative && !path.empty() ? currentPath_ + "\\" + path
                           : relative                ? currentPath_
                                                     : path;
    CloseKey();
    currentKey_ = opened;
    currentPath_ = std::move(fullPath);
    return true;
}

void TRegistry::CloseKey() {
    if (currentKey_ != platform::kRegNoKey) platform::RegCloseKey(currentKey_);
    currentKey_ = platform::kRegNoKey;
    currentPath_.clear();
}

std::string TRegistry::ReadString(const std::string& name) {
    uint32_t type = platform::kRegNone;
    std::string data;
    if (platform::RegQueryValueEx(currentKey_, name, &type, &data) != platform::kRegSuccess ||
        data.empty()) {
        return {};
    }
    if (type != platform::kRegSz && type != platform::kRegExpandSz) Fail(kWrongTypeText, name);
    // Writers differ on the terminating zero; the text ends at the first zero either way.
    const size_t zero = data.find('\0');
    if (zero != std::string::npos) data.resize(zero);
    return data;
}

int TRegistry::ReadInteger(const std::string& name) {
    uint32_t type = platform::kRegNone;
    std::string data;
    if (platform::RegQueryValueEx(currentKey_, name, &type, &data) != platform::kRegSuccess) {
        Fail(kReadFailedText, name);
    }
    if (type != platform::kRegDword || data.size() != kDwordBytes) Fail(kWrongTypeText, name);
    uint32_t bits = 0;
    for (size_t i = 0; i < kDwordBytes; ++i) {
        bits |= uint32_t(static_cast<unsigned char>(data[i])) << (8 * i);
    }
    return static_cast<int>(bits); // two's complement
}

bool TRegistry::ReadBool(const std::string& name) {
    return ReadInteger(name) != 0;
}

void TRegistry::Write(const std::string& name, uint32_t type, const std::string& data) {
    if (platform::RegSetValueEx(currentKey_, name, type, data) != platform::kRegSuccess) {
        Fail(kWriteFailedText, name);
    }
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    Write(name, platform::kRegSz, value);
}

void TRegistry::WriteInteger(const std::string& name, int value) {
    const auto bits = static_cast<uint32_t>(value);
    std::string data(kDwordBytes, '\0');
    for (size_t i = 0; i < kDwordBytes; ++i)
        data[i] = char((bits >> (8 * i)) & 0xFF);
    Write(name, platform::kRegDword, data);
}

void TRegistry::WriteBool(const std::string& name, bool value) {
    WriteInteger(name, value ? 1 : 0);
}

bool TRegistry::ValueExists(const std::string& name) {
    return platform::RegQueryValueEx(currentKey_, name, nullptr, nullptr) == platform::kRegSuccess;
}

} // namespace vcl
