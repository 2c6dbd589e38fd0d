// Everything that ties the tool to its one title. Each value is stored whole,
// even where it repeats part of another, so no string is composed at run time.
#pragma once

struct ProductProfileRecord {
    const char* ProductTitle;
    const char* ToolCaption;
    const char* InstallKey;        // under HKEY_LOCAL_MACHINE
    const char* InstallValueName;  // spelt as the title's installer writes it
    const char* MainProgramName;
    const char* ToolBaseName;      // the tool opens "<ToolBaseName>.EXE" in the current directory
};

inline constexpr ProductProfileRecord ProductProfile = {
    "Tavresk",
    "Tavresk Update Tool",
    "SOFTWARE\\Quorvane\\TAVS\\Installed",
    "Distination Path",
    "TAV",
    "UPDTAV01",
};
