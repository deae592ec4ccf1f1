#include "platform/com/Registry.h"

#include "platform/base/SafeFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <utility>

namespace {

const char* const kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                                  "HKEY_CURRENT_CONFIG"};

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool EqualNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && Upper(a) == Upper(b); }

// Splits "A\\B\\C" into its parts; an empty part (a doubled or trailing separator) makes the path bad.
std::optional<std::vector<std::string>> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\') {
            if (part.empty()) return std::nullopt;
            parts.push_back(std::move(part));
            part.clear();
        } else {
            part += c;
        }
    }
    if (part.empty()) return std::nullopt;
    parts.push_back(std::move(part));
    bool knownRoot = std::any_of(std::begin(kRootNames), std::end(kRootNames),
                                 [&](const char* r) { return EqualNoCase(r, parts.front()); });
    if (!knownRoot) return std::nullopt;
    parts.front() = Upper(parts.front());
    return parts;
}

// A registry string cannot hold line breaks or zero bytes: its text form has no way to write them.
bool IsStorableString(const std::string& s) { return s.find_first_of(std::string("\r\n\0", 3)) == std::string::npos; }

std::string Quote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string FormatValue(const RegValue& v) {
    if (v.type == REG_DWORD) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", v.number);
        return buf;
    }
    return Quote(v.text);
}

std::string FormatName(const std::string& name) { return name.empty() ? "@" : Quote(name); }

}  // namespace

struct CRegistry::Key {
    std::string name;
    // The default value has the empty name; values keep the order they were first set in.
    std::vector<std::pair<std::string, RegValue>> values;
    // Keyed by the upper-case name, so lookups ignore case and listing order is stable.
    std::map<std::string, std::unique_ptr<Key>> children;

    std::unique_ptr<Key> Clone() const {
        auto k = std::make_unique<Key>();
        k->name = name;
        k->values = values;
        for (const auto& [n, child] : children) k->children.emplace(n, child->Clone());
        return k;
    }
    Key* Child(const std::string& n) const {
        auto it = children.find(Upper(n));
        return it == children.end() ? nullptr : it->second.get();
    }
    Key* Ensure(const std::string& n) {
        auto& slot = children[Upper(n)];
        if (!slot) {
            slot = std::make_unique<Key>();
            slot->name = n;
        }
        return slot.get();
    }
    std::pair<std::string, RegValue>* Value(const std::string& n) {
        for (auto& v : values)
            if (EqualNoCase(v.first, n)) return &v;
        return nullptr;
    }
};

CRegistry::CRegistry() : m_root(std::make_unique<Key>()) {}
CRegistry::CRegistry(const CRegistry& other) : m_root(other.m_root->Clone()), m_denied(other.m_denied) {}
CRegistry& CRegistry::operator=(const CRegistry& other) {
    if (this != &other) {
        m_root = other.m_root->Clone();
        m_denied = other.m_denied;
    }
    return *this;
}
CRegistry::~CRegistry() = default;

CRegistry::Key* CRegistry::FindKey(const std::string& path) const {
    auto parts = SplitPath(path);
    if (!parts) return nullptr;
    Key* k = m_root.get();
    for (const std::string& p : *parts) {
        k = k->Child(p);
        if (k == nullptr) return nullptr;
    }
    return k;
}

bool CRegistry::IsDenied(const std::string& path) const {
    std::string upper = Upper(path);
    for (const std::string& d : m_denied) {
        if (upper == d || (upper.size() > d.size() && upper.compare(0, d.size(), d) == 0 && upper[d.size()] == '\\'))
            return true;
    }
    return false;
}

void CRegistry::DenyWrites(const std::string& path) { m_denied.push_back(Upper(path)); }

LONG CRegistry::CreateKey(const std::string& path) {
    auto parts = SplitPath(path);
    if (!parts) return ERROR_BADKEY;
    if (FindKey(path)) return ERROR_SUCCESS;
    if (IsDenied(path)) return ERROR_ACCESS_DENIED;
    Key* k = m_root.get();
    for (const std::string& p : *parts) k = k->Ensure(p);
    return ERROR_SUCCESS;
}

LONG CRegistry::SetRaw(const std::string& path, const std::string& name, const RegValue& value) {
    if (!IsStorableString(name)) return ERROR_INVALID_PARAMETER;
    if (!SplitPath(path)) return ERROR_BADKEY;
    if (IsDenied(path)) return ERROR_ACCESS_DENIED;
    LONG rc = CreateKey(path);
    if (rc != ERROR_SUCCESS) return rc;
    Key* k = FindKey(path);
    if (auto* v = k->Value(name))
        v->second = value;
    else
        k->values.emplace_back(name, value);
    return ERROR_SUCCESS;
}

LONG CRegistry::SetStringValue(const std::string& path, const std::string& name, const std::string& data) {
    if (!IsStorableString(data)) return ERROR_INVALID_PARAMETER;
    return SetRaw(path, name, RegValue{REG_SZ, data, 0});
}

LONG CRegistry::SetDWordValue(const std::string& path, const std::string& name, DWORD data) {
    return SetRaw(path, name, RegValue{REG_DWORD, {}, data});
}

LONG CRegistry::DeleteTree(const std::string& path) {
    auto parts = SplitPath(path);
    if (!parts) return ERROR_BADKEY;
    if (parts->size() == 1) return ERROR_ACCESS_DENIED;  // the roots themselves stay
    if (!FindKey(path)) return ERROR_FILE_NOT_FOUND;
    if (IsDenied(path)) return ERROR_ACCESS_DENIED;
    // A protected key below the one being removed protects its ancestors too.
    std::string upper = Upper(path) + "\\";
    for (const std::string& d : m_denied)
        if (d.compare(0, upper.size(), upper) == 0) return ERROR_ACCESS_DENIED;
    Key* parent = m_root.get();
    for (size_t i = 0; i + 1 < parts->size(); ++i) parent = parent->Child((*parts)[i]);
    parent->children.erase(Upper(parts->back()));
    return ERROR_SUCCESS;
}

void CRegistry::PruneEmptyParents(const std::string& path) {
    auto parts = SplitPath(path);
    if (!parts) return;
    for (size_t depth = parts->size() - 1; depth >= 2; --depth) {
        std::string parent = (*parts)[0];
        for (size_t i = 1; i < depth; ++i) parent += "\\" + (*parts)[i];
        Key* k = FindKey(parent);
        if (k == nullptr) continue;
        if (!k->children.empty() || !k->values.empty() || IsDenied(parent)) return;
        DeleteTree(parent);
    }
}

LONG CRegistry::DeleteValue(const std::string& path, const std::string& name) {
    Key* k = FindKey(path);
    if (k == nullptr) return ERROR_FILE_NOT_FOUND;
    if (IsDenied(path)) return ERROR_ACCESS_DENIED;
    auto it = std::find_if(k->values.begin(), k->values.end(), [&](const auto& v) { return EqualNoCase(v.first, name); });
    if (it == k->values.end()) return ERROR_FILE_NOT_FOUND;
    k->values.erase(it);
    return ERROR_SUCCESS;
}

bool CRegistry::KeyExists(const std::string& path) const { return FindKey(path) != nullptr; }

std::optional<RegValue> CRegistry::QueryValue(const std::string& path, const std::string& name) const {
    Key* k = FindKey(path);
    if (k == nullptr) return std::nullopt;
    if (auto* v = k->Value(name)) return v->second;
    return std::nullopt;
}

std::vector<std::string> CRegistry::EnumKeys(const std::string& path) const {
    std::vector<std::string> names;
    if (Key* k = FindKey(path))
        for (const auto& [n, child] : k->children) names.push_back(child->name);
    return names;
}

bool CRegistry::IsEmpty() const {
    for (const auto& [n, root] : m_root->children)
        if (!root->children.empty() || !root->values.empty()) return false;
    return true;
}

namespace {

// Calls fn(path, key) for every key below the roots, parents before children.
void Walk(const CRegistry::Key& key, const std::string& path,
          const std::function<void(const std::string&, const CRegistry::Key&)>& fn) {
    for (const auto& [n, child] : key.children) {
        std::string childPath = path.empty() ? child->name : path + "\\" + child->name;
        fn(childPath, *child);
        Walk(*child, childPath, fn);
    }
}

}  // namespace

std::string CRegistry::SaveToText() const {
    std::ostringstream out;
    out << kRegedit4Header << "\n\n";
    Walk(*m_root, "", [&](const std::string& path, const Key& key) {
        if (path.find('\\') == std::string::npos && key.values.empty()) return;  // a bare root
        out << "[" << path << "]\n";
        // The default value comes first, as the platform's export writes it.
        for (const auto& [name, value] : key.values)
            if (name.empty()) out << "@=" << FormatValue(value) << "\n";
        for (const auto& [name, value] : key.values)
            if (!name.empty()) out << FormatName(name) << "=" << FormatValue(value) << "\n";
        out << "\n";
    });
    return out.str();
}

namespace {

// Reads a quoted string starting at s[pos] (the opening quote); pos ends after the closing quote.
std::optional<std::string> ParseQuoted(const std::string& s, size_t& pos) {
    if (pos >= s.size() || s[pos] != '"') return std::nullopt;
    std::string out;
    for (++pos; pos < s.size(); ++pos) {
        char c = s[pos];
        if (c == '\\') {
            if (++pos >= s.size()) return std::nullopt;
            out += s[pos];
        } else if (c == '"') {
            ++pos;
            return out;
        } else {
            out += c;
        }
    }
    return std::nullopt;
}

std::optional<DWORD> ParseDword(const std::string& hex) {
    if (hex.empty() || hex.size() > 8) return std::nullopt;
    DWORD v = 0;
    for (char c : hex) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        v = v * 16 + static_cast<DWORD>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                                                                                     : std::tolower(c) - 'a' + 10);
    }
    return v;
}

}  // namespace

BOOL CRegistry::LoadFromText(const std::string& text, std::string* pError) {
    auto fail = [&](size_t line, const std::string& why) {
        if (pError) *pError = "line " + std::to_string(line) + ": " + why;
        return FALSE;
    };
    CRegistry loaded;
    loaded.m_denied = m_denied;
    std::istringstream in(text);
    std::string line;
    size_t lineNo = 0;
    bool sawHeader = false;
    std::string currentKey;  // empty: no key open (after a deletion or before the first)
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!sawHeader) {
            if (line != kRegedit4Header) return fail(lineNo, "not a REGEDIT4 file");
            sawHeader = true;
            continue;
        }
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            if (line.back() != ']') return fail(lineNo, "a key line must end with ']'");
            bool remove = line.size() > 1 && line[1] == '-';
            std::string path = line.substr(remove ? 2 : 1, line.size() - (remove ? 3 : 2));
            if (!SplitPath(path)) return fail(lineNo, "bad key name \"" + path + "\"");
            currentKey.clear();
            LONG rc = remove ? loaded.DeleteTree(path) : loaded.CreateKey(path);
            if (remove && rc == ERROR_FILE_NOT_FOUND) rc = ERROR_SUCCESS;
            if (rc != ERROR_SUCCESS) return fail(lineNo, "cannot change key \"" + path + "\"");
            if (!remove) currentKey = path;
            continue;
        }
        if (currentKey.empty()) return fail(lineNo, "a value outside any key");
        size_t pos = 0;
        std::string name;
        if (line[0] == '@') {
            pos = 1;
        } else {
            auto quoted = ParseQuoted(line, pos);
            if (!quoted) return fail(lineNo, "bad value name");
            name = *quoted;
        }
        if (pos >= line.size() || line[pos] != '=') return fail(lineNo, "expected '=' after the value name");
        std::string data = line.substr(pos + 1);
        LONG rc;
        if (data == "-") {
            rc = loaded.DeleteValue(currentKey, name);
            if (rc == ERROR_FILE_NOT_FOUND) rc = ERROR_SUCCESS;
        } else if (data.rfind("dword:", 0) == 0) {
            auto number = ParseDword(data.substr(6));
            if (!number) return fail(lineNo, "bad dword value");
            rc = loaded.SetDWordValue(currentKey, name, *number);
        } else {
            size_t p = 0;
            auto str = ParseQuoted(data, p);
            if (!str || p != data.size()) return fail(lineNo, "only string and dword values are supported");
            rc = loaded.SetStringValue(currentKey, name, *str);
        }
        if (rc != ERROR_SUCCESS) return fail(lineNo, "cannot set value \"" + name + "\"");
    }
    if (!sawHeader) return fail(1, "not a REGEDIT4 file");
    *this = loaded;
    return TRUE;
}

BOOL CRegistry::SaveToFile(const std::string& path, std::string* pError) const {
    // Written under a temporary name and renamed, so a failed write leaves the old file whole.
    std::string why;
    if (!WriteOutputText(path, SaveToText(), why)) {
        if (pError) *pError = "cannot write " + path + " (" + why + ")";
        return FALSE;
    }
    return TRUE;
}

BOOL CRegistry::LoadFromFile(const std::string& path, std::string* pError) {
    // Registry files are small; a huge one is not a registry file.
    constexpr size_t kMaxSize = 64 << 20;
    std::string text, readWhy;
    if (!ReadRegularFile(path, kMaxSize, text, readWhy)) {
        if (pError) *pError = "cannot read " + path + " (" + readWhy + ")";
        return FALSE;
    }
    std::string why;
    if (!LoadFromText(text, &why)) {
        if (pError) *pError = path + ": " + why;
        return FALSE;
    }
    return TRUE;
}

std::vector<std::string> CRegistry::DescribeChangesSince(const CRegistry& before) const {
    // Both trees in one ordered listing: key lines and value lines keyed by path.
    auto flatten = [](const CRegistry& r) {
        std::map<std::string, std::pair<std::string, std::string>> items;  // sort key -> (shown text, value)
        Walk(*r.m_root, "", [&](const std::string& path, const Key& key) {
            std::string upper = Upper(path);
            // The roots are always there; only what lies below them can change.
            if (path.find('\\') != std::string::npos) items[upper] = {"[" + path + "]", ""};
            for (const auto& [name, value] : key.values)
                items[upper + "\x01" + Upper(name)] = {"[" + path + "] " + FormatName(name) + "=", FormatValue(value)};
        });
        return items;
    };
    auto a = flatten(before);
    auto b = flatten(*this);
    std::vector<std::string> lines;
    auto ia = a.begin();
    auto ib = b.begin();
    while (ia != a.end() || ib != b.end()) {
        if (ib == b.end() || (ia != a.end() && ia->first < ib->first)) {
            lines.push_back("- " + ia->second.first + ia->second.second);
            ++ia;
        } else if (ia == a.end() || ib->first < ia->first) {
            lines.push_back("+ " + ib->second.first + ib->second.second);
            ++ib;
        } else {
            if (ia->second.second != ib->second.second) {
                lines.push_back("- " + ia->second.first + ia->second.second);
                lines.push_back("+ " + ib->second.first + ib->second.second);
            }
            ++ia;
            ++ib;
        }
    }
    return lines;
}

namespace {
CRegistry*& CurrentRegistrySlot() {
    static CRegistry* current = nullptr;
    return current;
}
}  // namespace

CRegistry& GetCurrentRegistry() {
    static CRegistry processRegistry;
    CRegistry* current = CurrentRegistrySlot();
    return current ? *current : processRegistry;
}

CRegistryScope::CRegistryScope(CRegistry& registry) : m_previous(CurrentRegistrySlot()) {
    CurrentRegistrySlot() = &registry;
}

CRegistryScope::~CRegistryScope() { CurrentRegistrySlot() = m_previous; }
