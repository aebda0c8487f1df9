#include "ui/textfields.h"

#include "hydraulics/numbertext.h"
#include "ui/keypress.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QTextDocument>
#include <QValidator>

#include <limits>

MemoEdit::MemoEdit(QWidget* parent) : QPlainTextEdit(parent) {
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!settingText_)
            emit edited();
    });
}

QString MemoEdit::text() const {
    // The raw text, unlike toPlainText(), keeps non-breaking spaces and line
    // separators; only the breaks between paragraphs are real line ends.
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

void MemoEdit::setText(const QString& text) {
    settingText_ = true;
    setPlainText(text);
    settingText_ = false;
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

// Where `after` differs from `before`: the span [first, last) of `after`
// that an edit put in place of part of `before`.
struct ChangedSpan {
    qsizetype first;
    qsizetype last;
};
ChangedSpan changedSpan(const QString& before, const QString& after) {
    const qsizetype shorter = qMin(before.size(), after.size());
    qsizetype first = 0;
    while (first < shorter && before[first] == after[first])
        ++first;
    qsizetype same = 0;
    while (same < shorter - first &&
           before[before.size() - 1 - same] == after[after.size() - 1 - same])
        ++same;
    return {first, after.size() - same};
}

// Limits what typing and pasting add and, in number fields, filters it.
class FieldValidator : public QValidator {
public:
    FieldValidator(QLineEdit& edit, int limit, CharacterFilter filter)
        : QValidator(&edit), limit_(limit), filter_(filter) {
        connect(&edit, &QLineEdit::textChanged, this,
                [this](const QString& text) { before_ = text; });
    }

    State validate(QString& input, int& pos) const override {
        const qsizetype offered = input.size();
        if (filter_)
            keepFilteredInsertion(input, pos);
        const qsizetype allowed = qMax<qsizetype>(limit_, before_.size());
        if (input.size() > allowed) {
            // The inserted text ends at the cursor; its tail is what does not fit.
            const qsizetype excess = input.size() - allowed;
            const qsizetype end = qBound(excess, qsizetype(pos), input.size());
            input.remove(end - excess, excess);
            pos = static_cast<int>(end - excess);
        }
        // Nothing of an insertion kept: refuse the edit, which keeps the undo history.
        return input.size() < offered && input == before_ ? Invalid : Acceptable;
    }

private:
    void keepFilteredInsertion(QString& input, int& pos) const {
        const ChangedSpan span = changedSpan(before_, input);
        const QString inserted = input.mid(span.first, span.last - span.first);
        const QString kept = keptByFilter(inserted, filter_, localeDecimalSeparator());
        if (kept == inserted)
            return;
        input.replace(span.first, inserted.size(), kept);
        if (pos >= span.last)
            pos -= static_cast<int>(inserted.size() - kept.size());
        else if (pos > span.first)
            pos = static_cast<int>(span.first + kept.size());
    }

    int limit_;
    CharacterFilter filter_;
    QString before_;
};

} // namespace

void limitTyping(QLineEdit& edit, int limit) {
    liftLengthLimit(edit);
    edit.setValidator(new FieldValidator(edit, limit, nullptr));
}

void makeNumberField(QLineEdit& edit, CharacterFilter filter, int limit) {
    liftLengthLimit(edit);
    edit.setValidator(new FieldValidator(edit, limit, filter));
}

bool numberKeyConsumed(QLineEdit& edit, const QKeyEvent& event, CharacterFilter filter) {
    const std::optional<QChar> typed = typedCharacter(event);
    if (!typed || event.modifiers().testFlag(Qt::ControlModifier))
        return false;
    const QChar separator = localeDecimalSeparator();
    const QChar character = asDecimalSeparator(*typed, separator);
    if (!filter(character, separator))
        return true;
    if (character == *typed)
        return false;
    edit.insert(QString(character));
    return true;
}

void setWholeText(QLineEdit& edit, const QString& text) {
    const QValidator* limit = edit.validator();
    edit.setValidator(nullptr);
    edit.setText(text);
    edit.setValidator(limit);
}
