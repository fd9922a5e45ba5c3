#pragma once
// Reads registry trees as text, so that tests compare whole subtrees.
#include <windows.h>

#include <string>

bool KeyExists(HKEY root, const std::wstring& path);
// The string value (empty name: the default value); "<missing>" when key or value is absent.
std::wstring ReadString(HKEY root, const std::wstring& path, const std::wstring& name = L"");
// Every key and value below path, one sorted line each; empty when the key is missing.
std::wstring DumpTree(HKEY root, const std::wstring& path);
