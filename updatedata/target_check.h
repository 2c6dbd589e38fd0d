// Checks, before the first byte is written, that every output can be written.
#pragma once

// True when the install folder's MPX folder exists and every member's output
// that already exists can be opened for writing the way the extraction will
// open it (nothing is truncated or changed). Otherwise failedPath (of
// PATH_BUFFER_SIZE bytes) names the first output that fails; with no MPX
// folder, that is member 1's.
bool CheckTargets(const char* installFolder, char* failedPath);
