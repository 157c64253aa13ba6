// What happens on the X server beside the program: keys a user types on
// the keyboard, and another program reading what the program copied.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace journey {

// The X test extension is there to type with.
bool CanTypeKeys();

// Types Text (printable ASCII) key by key on the server's keyboard, Shift
// held for the characters that need it: each key reaches the window that
// has the focus as a user's key press does. Returns once the server has
// them; the program handles them, in order, as its event loop runs.
void TypeKeys(const QString& Text);

// Presses and releases one key, named by its X key symbol ("Return",
// "Escape", "v"), with Control held when asked.
void TypeKey(const char* KeySymbol, bool WithControl = false);

// What another program receives when it asks for the content of Selection
// ("CLIPBOARD", "PRIMARY") in the form Target ("UTF8_STRING", "STRING",
// "text/plain"): the bytes, or nothing when the owner refuses or does not
// answer. The program's events are handled while it waits, so that the
// program can answer.
std::optional<QByteArray> ReadSelection(const char* Selection, const char* Target);

} // namespace journey
