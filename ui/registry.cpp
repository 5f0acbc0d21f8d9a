#include "ui/registry.h"

#include <optional>

#include "ui/text.h"
#include "ui/win_handles.h"

namespace iconvale {

namespace {

struct RegistryPath {
    WideText key;    // NUL-terminated; L"" for the root itself
    WideText value;  // NUL-terminated; L"" for the default value
};

WideText Terminated(std::wstring_view text) {
    WideText wide(text.begin(), text.end());
    wide.push_back(L'\0');
    return wide;
}

// The path as UTF-16 without its terminator; splitting after the conversion means a GBK trail
// byte 0x5C is never taken for a separator.
std::optional<std::wstring> WidePath(std::string_view path) {
    WideText wide = ToWide(path);
    if (wide.empty()) return std::nullopt;
    std::wstring text(wide.data(), wide.size() - 1);
    // The platform would stop at an embedded NUL and act on a different path.
    if (text.find(L'\0') != std::wstring::npos) return std::nullopt;
    return text;
}

std::optional<RegistryPath> SplitPath(std::string_view path) {
    auto text = WidePath(path);
    if (!text) return std::nullopt;
    std::size_t slash = text->rfind(L'\\');
    if (slash == std::wstring::npos) return RegistryPath{Terminated({}), Terminated(*text)};
    std::wstring_view view(*text);
    return RegistryPath{Terminated(view.substr(0, slash)), Terminated(view.substr(slash + 1))};
}

UniqueRegKey OpenKey(HKEY root, const WideText& key, REGSAM access) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(root, key.data(), 0, access, &opened) != ERROR_SUCCESS) return {};
    return UniqueRegKey(opened);
}

bool SetValue(HKEY root, std::string_view path, DWORD type, const void* data, DWORD bytes) {
    auto parts = SplitPath(path);
    if (!parts) return false;
    UniqueRegKey key = OpenKey(root, parts->key, KEY_SET_VALUE);
    if (!key) {
        HKEY created = nullptr;
        if (::RegCreateKeyExW(root, parts->key.data(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_SET_VALUE, nullptr, &created, nullptr) != ERROR_SUCCESS) {
            return false;
        }
        key.reset(created);
    }
    return ::RegSetValueExW(key.get(), parts->value.data(), 0, type, static_cast<const BYTE*>(data),
                            bytes) == ERROR_SUCCESS;
}

}  // namespace

bool WriteRegistryDword(HKEY root, std::string_view path, std::uint32_t value) {
    DWORD data = value;
    return SetValue(root, path, REG_DWORD, &data, sizeof(data));
}

bool WriteRegistryText(HKEY root, std::string_view path, std::string_view text) {
    WideText wide = ToWide(text);
    if (wide.empty()) return false;
    return SetValue(root, path, REG_SZ, wide.data(),
                    static_cast<DWORD>(wide.size() * sizeof(wchar_t)));
}

bool ReadRegistryText(HKEY root, std::string_view path, std::string& text) {
    auto parts = SplitPath(path);
    if (!parts) return false;
    UniqueRegKey key = OpenKey(root, parts->key, KEY_QUERY_VALUE);
    if (!key) return false;
    DWORD type = 0;
    DWORD bytes = 0;
    if (::RegQueryValueExW(key.get(), parts->value.data(), nullptr, &type, nullptr, &bytes) !=
        ERROR_SUCCESS) {
        return false;
    }
    // The value may change between the two calls; a few rounds settle it.
    for (int round = 0; round < 4; ++round) {
        if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
        // One unit more than asked for, so that unterminated data still ends in a NUL.
        WideText buffer(bytes / sizeof(wchar_t) + 2, L'\0');
        DWORD size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
        LSTATUS status = ::RegQueryValueExW(key.get(), parts->value.data(), nullptr, &type,
                                            reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (status == ERROR_MORE_DATA) {
            bytes = size;
            continue;
        }
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
        text = ToNarrow(std::span<const wchar_t>(buffer.data(), size / sizeof(wchar_t)));
        return true;
    }
    return false;
}

bool DeleteRegistryEntry(HKEY root, std::string_view path) {
    auto parts = SplitPath(path);
    if (!parts) return false;
    UniqueRegKey key = OpenKey(root, parts->key, KEY_SET_VALUE);
    if (key && ::RegDeleteValueW(key.get(), parts->value.data()) == ERROR_SUCCESS) return true;
    return DeleteRegistryKey(root, path);
}

bool DeleteRegistryKey(HKEY root, std::string_view keyPath) {
    auto text = WidePath(keyPath);
    if (!text) return false;
    while (!text->empty() && text->back() == L'\\') text->pop_back();
    // An empty name would delete the key the root handle itself stands for.
    if (text->empty()) return false;
    return ::RegDeleteKeyW(root, text->c_str()) == ERROR_SUCCESS;
}

bool RegistryKeyExists(HKEY root, std::string_view keyPath) {
    auto text = WidePath(keyPath);
    if (!text) return false;
    return static_cast<bool>(OpenKey(root, Terminated(*text), KEY_READ));
}

}  // namespace iconvale
