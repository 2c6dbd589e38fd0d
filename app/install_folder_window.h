// Hands the user over to Explorer on the install folder.
#pragma once

// Starts "explorer <folder>" (folder unquoted, as it stands) from the Windows
// folder, without waiting. Whether it started is not the run's concern.
void OpenInstallFolderWindow(const char* installFolder);
