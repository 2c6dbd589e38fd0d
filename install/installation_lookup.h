// The title's installation, as its installer left it in the registry.
#pragma once

// Longest install folder, in bytes, that lets every output path
// ("<folder>\MPX\<name>.MPX" with the longest member name) fit its buffer.
constexpr unsigned MAX_INSTALL_FOLDER_LENGTH = 111;

// True exactly when the title's key opens; the value plays no part.
bool IsProductInstalled();

// Reads the install folder, verbatim (no separator added or removed, nothing
// expanded), into a PATH_BUFFER_SIZE buffer. False when it is unusable: key or
// value missing, not a string, unterminated, or too long for the output paths.
bool ReadInstallFolder(char* folder);
