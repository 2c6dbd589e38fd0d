// Shows catalogue entries as message boxes.
#pragma once

#include "message_catalogue.h"

// Composes the entry's text with up to two string arguments into a
// TEXT_BUFFER_SIZE buffer; entries shown as stored are copied unchanged.
// Never overruns: a text too long is cut, and still terminated.
void ComposeMessage(char* text, MessageId id, const char* arg1, const char* arg2);

// Shows the box without an owner window and returns MessageBoxA's answer.
int ShowMessage(MessageId id, const char* arg1 = nullptr, const char* arg2 = nullptr);
