#pragma once

#include "hydraulics/keyfilters.h"

#include <QPlainTextEdit>
#include <QString>

#include <limits>

class QKeyEvent;
class QLineEdit;

// A multi-line field whose text is exactly what was typed or loaded: lines
// ended with Enter are separated by '\n', and every other character (a
// non-breaking space, a Unicode line separator) is kept as it is.
class MemoEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MemoEdit(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);

signals:
    // The user changed the text: typing, paste, cut, drop, undo or redo.
    void edited();

protected:
    // Shift+Enter starts a new line like Enter, instead of a soft line
    // break that would stay inside one stored line.
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool settingText_ = false;
};

// Removes QLineEdit's default 32,767-character limit: a field without a
// limit of its own holds any text, typed or loaded.
void liftLengthLimit(QLineEdit& edit);

// Limits what typing and pasting add to a single-line field: the text may
// not grow past `limit` characters, or past the length of a longer text that
// the program put there with setWholeText(). A paste is cut at the limit.
void limitTyping(QLineEdit& edit, int limit);

// Sets a field's text whole, however long, past any typing limit and number
// filter. Every text the program puts into a field goes through here: a
// plain setText() would be filtered like a paste.
void setWholeText(QLineEdit& edit, const QString& text);

// A number field: what typing and pasting add is limited as by
// limitTyping(), and pasted or dropped text keeps only the characters that
// `filter` lets through. Text set by the program is kept as it is.
void makeNumberField(QLineEdit& edit, CharacterFilter filter,
                     int limit = std::numeric_limits<int>::max());

// Judges a key press in a number field before the field sees it: true when
// it is consumed, because the filter discards its character or because it
// typed the other decimal separator, which enters the user's one instead.
// Editing shortcuts (Ctrl+A, Ctrl+C, Ctrl+V, Ctrl+Z, ...) always pass.
bool numberKeyConsumed(QLineEdit& edit, const QKeyEvent& event, CharacterFilter filter);
