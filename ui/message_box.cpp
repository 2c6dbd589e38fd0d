#include "message_box.h"

#include <strsafe.h>

#include "../app/product_profile.h"
#include "../app/text_limits.h"

void ComposeMessage(char* text, MessageId id, const char* arg1, const char* arg2) {
    const MessageEntry& entry = MessageCatalogue[id];
    if (entry.Formatted) {
        StringCchPrintfA(text, TEXT_BUFFER_SIZE, entry.Text, arg1, arg2);
    } else {
        StringCchCopyA(text, TEXT_BUFFER_SIZE, entry.Text);
    }
}

int ShowMessage(MessageId id, const char* arg1, const char* arg2) {
    char text[TEXT_BUFFER_SIZE];
    ComposeMessage(text, id, arg1, arg2);
    const MessageEntry& entry = MessageCatalogue[id];
    const char* caption = entry.ToolCaptioned ? ProductProfile.ToolCaption : "UPDATE TOOL.";
    return MessageBoxA(nullptr, text, caption, entry.BoxFlags);
}
