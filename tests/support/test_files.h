// Small file helpers for tests: scratch folders, whole-file reads and writes,
// and the build's outputs.
#pragma once

#include <windows.h>

#include <string>

// A fresh, empty folder under the system temp folder; removed again by RemoveTree.
std::string MakeScratchFolder(const char* label);
void RemoveTree(const std::string& folder);

bool ReadWholeFile(const std::string& path, std::string* bytes);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

// Windows path of the build tree, from UPDTAV_BINARY_DIR (a host path), and of
// the source tree, from UPDTAV_SOURCE_DIR.
std::string BuildPath(const char* relative);
std::string SourcePath(const char* relative);

// The linked image the build made, loaded for its resources only (FreeLibrary
// when done); NULL if it cannot be loaded.
HMODULE LoadBuiltImage();

// The member files the tool was packed with (UPDTAV_MEMBERS_DIR), by table row.
std::string MemberBytes(int index);
