// TRegistry: typed reads and writes of one open registry key, over platform/registry.
//
// Reads:
//   ReadString   an absent or empty value gives the empty text; a REG_SZ or REG_EXPAND_SZ value
//                gives its bytes up to the first zero byte (with or without a terminating zero,
//                unexpanded); any other type raises "'<name>' のﾃﾞｰﾀ型が不正です".
//   ReadInteger  a REG_DWORD value of exactly 4 bytes gives its little-endian, two's complement
//                number; another type or size raises the wrong-type text above, and an absent
//                value raises "'<name>' の読み込みに失敗しました".
//   ReadBool     ReadInteger, then non-zero is true.
// Writes store REG_SZ without a terminating zero, REG_DWORD as 4 little-endian bytes, and
// booleans as 1 or 0; a write the registry refuses raises "'<name>' の設定に失敗しました".
// All failures are ERegistryException. With no key open, reads behave as for absent values and
// writes are refused.
#pragma once

#include <string>

#include "platform/registry.h"

namespace vcl {

class TRegistry {
public:
    TRegistry() = default; // RootKey HKEY_CURRENT_USER, no key open
    ~TRegistry() { CloseKey(); }
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    platform::RegKey RootKey() const { return rootKey_; }
    // Closes the open key first, as the open key lies below the old root.
    void SetRootKey(platform::RegKey root);
    platform::RegKey CurrentKey() const { return currentKey_; }
    // The open key's path below the root, without a leading backslash.
    const std::string& CurrentPath() const { return currentPath_; }

    // Opens `key` and makes it the current key, closing the one open before. A path starting
    // with "\" counts from the root; any other path from the current key when one is open. A
    // trailing "\" is ignored. With `canCreate`, a missing key (and its parents) is created.
    // False when the key could not be opened; the current key then stays as it was.
    bool OpenKey(const std::string& key, bool canCreate);
    void CloseKey();

    std::string ReadString(const std::string& name);
    int ReadInteger(const std::string& name);
    bool ReadBool(const std::string& name);
    void WriteString(const std::string& name, const std::string& value);
    void WriteInteger(const std::string& name, int value);
    void WriteBool(const std::string& name, bool value);
    bool ValueExists(const std::string& name);

private:
    platform::RegKey rootKey_ = platform::kHkeyCurrentUser;
    platform::RegKey currentKey_ = platform::kRegNoKey;
    std::string currentPath_;

    void Write(const std::string& name, uint32_t type, const std::string& data);
};

} // namespace vcl
