// Fixed buffer sizes shared by every part of the run.
#pragma once

// Paths: the install folder and each output path.
constexpr unsigned PATH_BUFFER_SIZE = 128;
// Composed texts: message box texts and Explorer's command line.
constexpr unsigned TEXT_BUFFER_SIZE = 512;
