// Every word the tool says to the user, and the form of each box.
#pragma once

#include <windows.h>

enum MessageId {
    MSG_NOT_INSTALLED,
    MSG_DATA_BROKEN,
    MSG_CONFIRM,
    MSG_CANCELLED,
    MSG_WAIT,
    MSG_PROGRESS,
    MSG_DONE,
    MSG_SAVE_WARNING,
    MSG_WRITE_FAILED,
    MESSAGE_COUNT
};

struct MessageEntry {
    const char* Text;     // code page 932; lines joined by single line feeds
    bool Formatted;       // false: shown exactly as stored, never through the formatter
    bool ToolCaptioned;   // false: the box says "UPDATE TOOL." instead of ToolCaption
    UINT BoxFlags;        // MessageBoxA flags; 0 for the progress window's lines
};

extern const MessageEntry MessageCatalogue[MESSAGE_COUNT];
