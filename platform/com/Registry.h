#pragma once
// The registry that class and type-library registration write into: a tree of keys under the
// platform's root names, each key holding string and DWORD values, saved to and loaded from the
// platform's REGEDIT4 text form. A process has one current registry; registration code reaches it
// through AfxGetRegistry-style access (GetCurrentRegistry) so a tool can point it at a file.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/WinDef.h"

// Win32 error codes the registry functions return.
constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_BADKEY = 1010;

constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_DWORD = 4;

// The text every REGEDIT4 file starts with.
constexpr const char* kRegedit4Header = "REGEDIT4";
// The root most registration writes under.
constexpr const char* kClassesRoot = "HKEY_CLASSES_ROOT";

// One value of a key: a string (REG_SZ) or a DWORD.
struct RegValue {
    DWORD type = REG_SZ;
    std::string text;
    DWORD number = 0;
    bool operator==(const RegValue&) const = default;
};

class CRegistry {
public:
    CRegistry();
    CRegistry(const CRegistry& other);
    CRegistry& operator=(const CRegistry& other);
    ~CRegistry();

    // Paths are "ROOT\\key\\subkey"; names compare without regard to ASCII case, as the platform's
    // do, and keep the spelling of their first creation. The root must be one of the platform's
    // HKEY_ names; anything else is ERROR_BADKEY.

    // Creates the key and every missing parent.
    LONG CreateKey(const std::string& path);
    // Sets a value, creating the key; an empty name is the key's default value ("@").
    LONG SetStringValue(const std::string& path, const std::string& name, const std::string& data);
    LONG SetDWordValue(const std::string& path, const std::string& name, DWORD data);
    // Removes a key with everything under it; ERROR_FILE_NOT_FOUND when absent.
    LONG DeleteTree(const std::string& path);
    // Removes the key's ancestors that were left without values or subkeys (the roots stay), so an
    // unregistration leaves no empty containers behind in a registry file.
    void PruneEmptyParents(const std::string& path);
    // Removes one value; ERROR_FILE_NOT_FOUND when absent.
    LONG DeleteValue(const std::string& path, const std::string& name);

    bool KeyExists(const std::string& path) const;
    std::optional<RegValue> QueryValue(const std::string& path, const std::string& name) const;
    // The names of a key's subkeys in the registry's (case-insensitive) order.
    std::vector<std::string> EnumKeys(const std::string& path) const;
    // True when no root holds any key.
    bool IsEmpty() const;

    // Writes to the key and everything under it fail with ERROR_ACCESS_DENIED, as for a key the
    // user has no right to change (an administrator's policy, a read-only hive).
    void DenyWrites(const std::string& path);

    // The REGEDIT4 text: the header, a blank line, then every key in tree order with its values.
    std::string SaveToText() const;
    // Replaces the content with the text's; FALSE (content unchanged) with a one-line reason.
    BOOL LoadFromText(const std::string& text, std::string* pError);
    // File forms of the two above; a missing file loads as an empty registry only when asked.
    BOOL SaveToFile(const std::string& path, std::string* pError) const;
    BOOL LoadFromFile(const std::string& path, std::string* pError);

    // Lines describing what differs from `before`: "+ [key]", "- [key]", "+ [key] name=value",
    // "- [key] name=value", in tree order.
    std::vector<std::string> DescribeChangesSince(const CRegistry& before) const;

    struct Key;

private:
    Key* FindKey(const std::string& path) const;
    bool IsDenied(const std::string& path) const;
    LONG SetRaw(const std::string& path, const std::string& name, const RegValue& value);
    std::unique_ptr<Key> m_root;
    std::vector<std::string> m_denied;
};

// The registry registration writes into. Without one set, the process's own empty registry.
CRegistry& GetCurrentRegistry();
// Points registration at `registry` for the life of the scope, then back at the previous one.
class CRegistryScope {
public:
    explicit CRegistryScope(CRegistry& registry);
    ~CRegistryScope();
    CRegistryScope(const CRegistryScope&) = delete;
    CRegistryScope& operator=(const CRegistryScope&) = delete;

private:
    CRegistry* m_previous;
};
