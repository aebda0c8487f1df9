#include "ui/textfields.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QTextDocument>
#include <QValidator>

#include <limits>

MemoEdit::MemoEdit(QWidget* parent) : QPlainTextEdit(parent) {}

QString MemoEdit::text() const {
    // The raw text, unlike toPlainText(), keeps non-breaking spaces and line
    // separators; only the breaks between paragraphs are real line ends.
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

void MemoEdit::setText(const QString& text) {
    setPlainText(text);
}

void MemoEdit::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers().testFlag(Qt::ShiftModifier)) {
        QKeyEvent plainEnter(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                             event->text());
        QPlainTextEdit::keyPressEvent(&plainEnter);
        event->setAccepted(plainEnter.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void liftLengthLimit(QLineEdit& edit) {
    edit.setMaxLength(std::numeric_limits<int>::max());
}

namespace {

class TypingLimit : public QValidator {
public:
    TypingLimit(QLineEdit& edit, int limit) : QValidator(&edit), limit_(limit) {
        connect(&edit, &QLineEdit::textChanged, this,
                [this](const QString& text) { before_ = text; });
    }

    State validate(QString& input, int& pos) const override {
        const qsizetype allowed = qMax<qsizetype>(limit_, before_.size());
        if (input.size() <= allowed)
            return Acceptable;
        // The inserted text ends at the cursor; its tail is what does not fit.
        const qsizetype excess = input.size() - allowed;
        const qsizetype end = qBound(excess, qsizetype(pos), input.size());
        input.remove(end - excess, excess);
        pos = static_cast<int>(end - excess);
        // Nothing of it fits: refuse the edit, which keeps the undo history.
        return input == before_ ? Invalid : Acceptable;
    }

private:
    int limit_;
    QString before_;
};

} // namespace

void limitTyping(QLineEdit& edit, int limit) {
    liftLengthLimit(edit);
    edit.setValidator(new TypingLimit(edit, limit));
}

void setWholeText(QLineEdit& edit, const QString& text) {
    const QValidator* limit = edit.validator();
    edit.setValidator(nullptr);
    edit.setText(text);
    edit.setValidator(limit);
}
