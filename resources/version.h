// The tool's version, in one place for the version resource.
#pragma once

#define UPDTAV_VERSION_NUMBERS 1, 0, 0, 1
#define UPDTAV_VERSION_TEXT "1.0.0.1"
