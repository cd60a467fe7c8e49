#include "ui/DialogPlacement.h"

#include <QWidget>

namespace msrw {

void ShowOrHide(QWidget* w, bool visible) {
    if (visible && !w->isVisible()) {
        // Appear over the middle of the main window, not wherever the
        // window system puts a new window.
        if (const QWidget* owner = w->parentWidget()) {
            w->adjustSize();
            const QRect area = owner->geometry();
            w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
        }
        w->show();
    } else if (!visible && w->isVisible())
        w->hide();
}

} // namespace msrw
