#include "ui/TrackEdit.h"

#include <QKeyEvent>
#include <QMimeData>

namespace msrw {

TrackEdit::TrackEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
}

int TrackEdit::dataLength() const {
    const QString text = toPlainText();
    return int(text.size() - text.count('\n'));
}

bool TrackEdit::typeCharacter(int code) {
    const int filtered = filter_ ? filter_(code) : code;
    // Line breaks in a track field are only the ones its wrapping puts there.
    if (filtered <= 0 || filtered > 255 || filtered == 13 || filtered == 10)
        return false;
    if (filtered == '\b') {
        textCursor().deletePreviousChar();
        return true;
    }
    if (maxLength_ > 0 && dataLength() >= maxLength_ && !textCursor().hasSelection())
        return false;
    insertPlainText(QString(QChar(char16_t(filtered))));
    return true;
}

void TrackEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const bool ctrl = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        typeCharacter(13);
        return;
    }
    if (text.size() != 1 || ctrl || event->key() == Qt::Key_Tab ||
        event->key() == Qt::Key_Backtab || event->key() == Qt::Key_Delete) {
        QPlainTextEdit::keyPressEvent(event); // navigation, shortcuts, deletion
        return;
    }
    const char16_t c = text[0].unicode();
    if (c == '\b' && !filter_) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    if (c <= 255)
        typeCharacter(c);
}

void TrackEdit::insertFromMimeData(const QMimeData* source) {
    // Pasted text is typed character by character, so that the same filter
    // and length limit apply.
    for (const QChar ch : source->text()) {
        if (ch == '\n' || ch == '\r' || ch.unicode() > 255)
            continue;
        typeCharacter(ch.unicode());
    }
}

} // namespace msrw
