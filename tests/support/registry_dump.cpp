#include "support/registry_dump.h"

#include <algorithm>
#include <vector>

namespace {

class Key {
public:
    Key(HKEY root, const std::wstring& path)
    {
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~Key() { if (key_) RegCloseKey(key_); }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

void Collect(HKEY root, const std::wstring& path, const std::wstring& shown, std::vector<std::wstring>& lines)
{
    Key key(root, path);
    if (!key.Get()) return;
    lines.push_back(shown);
    wchar_t name[256];
    BYTE data[2048];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 256, dataLength = sizeof(data) - 2, type = 0;
        if (RegEnumValueW(key.Get(), i, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS) break;
        data[dataLength] = data[dataLength + 1] = 0;
        std::wstring value = type == REG_SZ ? std::wstring(reinterpret_cast<wchar_t*>(data))
                                            : L"<type " + std::to_wstring(type) + L">";
        lines.push_back(shown + L" [" + std::wstring(name, nameLength) + L"] = " + value);
    }
    std::vector<std::wstring> children;
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key.Get(), i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        children.emplace_back(name, nameLength);
    }
    for (const std::wstring& child : children)
        Collect(root, path + L"\\" + child, shown + L"\\" + child, lines);
}

}  // namespace

bool KeyExists(HKEY root, const std::wstring& path)
{
    Key key(root, path);
    return key.Get() != nullptr;
}

std::wstring ReadString(HKEY root, const std::wstring& path, const std::wstring& name)
{
    Key key(root, path);
    if (!key.Get()) return L"<missing>";
    wchar_t data[1024];
    DWORD size = sizeof(data) - sizeof(wchar_t), type = 0;
    if (RegQueryValueExW(key.Get(), name.empty() ? nullptr : name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS || type != REG_SZ)
        return L"<missing>";
    data[size / sizeof(wchar_t)] = 0;
    return data;
}

std::wstring DumpTree(HKEY root, const std::wstring& path)
{
    std::vector<std::wstring> lines;
    Collect(root, path, L"", lines);
    std::sort(lines.begin(), lines.end());
    std::wstring text;
    for (const std::wstring& line : lines) text += line + L"\n";
    return text;
}
