#pragma once

#include <QChar>

#include <optional>

class QKeyEvent;

// The character a key press types, as the edit fields see it: printable
// characters, and the control characters Backspace (8), Enter (13),
// Escape (27) and Ctrl+letter (1..26). Keys that type nothing (arrows,
// Delete, Tab, bare modifiers) give no character.
std::optional<QChar> typedCharacter(const QKeyEvent& event);
