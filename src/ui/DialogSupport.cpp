#include "ui/DialogSupport.h"

#include <QBoxLayout>
#include <QPushButton>

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace msrw {

void ShowOrHideOver(QWidget* w, bool visible, QWidget* focus) {
    if (visible && !w->isVisible()) {
        // Appear over the middle of the main window, not wherever the
        // window system puts a new window.
        if (const QWidget* owner = w->parentWidget()) {
            w->adjustSize();
            const QRect area = owner->geometry();
            w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
        }
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
    return key->text().size() == 1 ? key->text()[0].unicode() : 0;
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
