// Process settings made before anything else runs.
#pragma once

// Loads DLLs from the system folder only (where the system can be told so) and
// keeps the system's critical-error boxes out of the run.
void HardenProcess();
