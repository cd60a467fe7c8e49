#include "ui/DialogSupport.h"

#include <QBoxLayout>
#include <QPushButton>

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace msrw {

namespace {

// What the window system adds around a window's client area (title bar,
// borders), as far as it is known yet: the window's own once it is shown,
// else that of the window it belongs to.
QMargins DecorationOf(const QWidget* w) {
    const QWidget* owner = w->parentWidget() ? w->parentWidget()->window() : nullptr;
    for (const QWidget* known : {w, owner}) {
        if (known && known->isVisible()) {
            const QRect frame = known->frameGeometry();
            const QRect client = known->geometry();
            return {client.left() - frame.left(), client.top() - frame.top(),
                    frame.right() - client.right(), frame.bottom() - client.bottom()};
        }
    }
    return {};
}

} // namespace

void PlaceInsideScreen(QWidget* w) {
    const QRect client = w->geometry();
    const QScreen* screen = QGuiApplication::screenAt(client.center());
    if (!screen)
        screen = w->screen();
    if (!screen)
        return;
    const QMargins decoration = DecorationOf(w);
    const QRect area = screen->availableGeometry();
    const QSize fits = client.size().boundedTo(area.marginsRemoved(decoration).size());
    if (fits != client.size())
        w->resize(fits);
    // A window's position is that of its frame.
    QRect frame(w->pos(), w->size().grownBy(decoration));
    frame.moveLeft(std::max(area.left(), std::min(frame.left(), area.right() - frame.width() + 1)));
    frame.moveTop(std::max(area.top(), std::min(frame.top(), area.bottom() - frame.height() + 1)));
    w->move(frame.topLeft());
}

void ShowOrHideOver(QWidget* w, bool visible, QWidget* focus) {
    if (visible && !w->isVisible()) {
        // Appear over the middle of the main window, not wherever the
        // window system puts a new window, and wholly on the screen.
        if (const QWidget* owner = w->parentWidget()) {
            w->adjustSize();
            const QRect area = owner->geometry();
            w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
        }
        PlaceInsideScreen(w);
        w->show();
        w->raise();
        w->activateWindow();
        if (focus)
            focus->setFocus(Qt::ActiveWindowFocusReason);
    } else if (!visible && w->isVisible()) {
        w->hide();
    }
}

int KeyAsciiOf(const QKeyEvent* key) {
    // Tab moves between the fields; no filter may swallow it.
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
        return 0;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        return 13;
    if (key->key() == Qt::Key_Backspace)
        return 8;
    if (key->key() == Qt::Key_Delete)
        return 127;
    // Ctrl+A, Ctrl+C, Ctrl+V, Ctrl+Z and the like edit the field; they type
    // no character of their own (what a paste inserts is judged apart).
    if (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return 0;
    return key->text().size() == 1 ? key->text()[0].unicode() : 0;
}

bool PasteRefused(const QKeyEvent* key, const std::function<bool(int)>& accepts) {
    if (!key->matches(QKeySequence::Paste))
        return false;
    const QString text = QGuiApplication::clipboard()->text();
    return std::any_of(text.begin(), text.end(),
                       [&](QChar c) { return c.unicode() < ' ' || !accepts(c.unicode()); });
}

void ShowListItems(QComboBox* combo, const std::vector<std::string>& items, int selected) {
    QStringList texts;
    for (const std::string& item : items)
        texts << QString::fromLatin1(item.data(), qsizetype(item.size()));
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i)
        shown << combo->itemText(i);
    if (shown != texts) {
        combo->clear();
        combo->addItems(texts);
    }
    combo->setCurrentIndex(selected);
}

void ShowFieldText(QLineEdit* field, const std::string& text) {
    const QString shown = QString::fromLatin1(text.data(), qsizetype(text.size()));
    if (field->text() != shown)
        field->setText(shown);
}

std::vector<QPushButton*> AddButtonRow(QWidget* parent, QBoxLayout* layout,
                                       std::vector<DialogButton> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    std::vector<QPushButton*> made;
    for (DialogButton& b : buttons) {
        auto* button = new QPushButton(QObject::tr(b.caption), parent);
        button->setObjectName(b.name);
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, parent, std::move(b.onClick));
        row->addWidget(button);
        made.push_back(button);
    }
    layout->addLayout(row);
    return made;
}

} // namespace msrw
