#pragma once

#include <QPlainTextEdit>
#include <QString>

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

protected:
    // Shift+Enter starts a new line like Enter, instead of a soft line
    // break that would stay inside one stored line.
    void keyPressEvent(QKeyEvent* event) override;
};

// Removes QLineEdit's default 32,767-character limit: a field without a
// limit of its own holds any text, typed or loaded.
void liftLengthLimit(QLineEdit& edit);

// Limits what typing and pasting add to a single-line field: the text may
// not grow past `limit` characters, or past the length of a longer text that
// the program put there with setWholeText(). A paste is cut at the limit.
void limitTyping(QLineEdit& edit, int limit);

// Sets a field's text whole, however long, past any typing limit.
void setWholeText(QLineEdit& edit, const QString& text);
