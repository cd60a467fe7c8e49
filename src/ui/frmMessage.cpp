#include "ui/frmMessage.h"

#include "ui/DialogSupport.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace msrw {
namespace {

QString Css(Colour c) {
    return QColor(c.r, c.g, c.b).name();
}

} // namespace

frmMessage::frmMessage(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName("frmMessage");
    setWindowModality(Qt::NonModal);
    setAttribute(Qt::WA_ShowWithoutActivating);
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    cmdCancel = new QPushButton(tr("Cancel"), this);
    cmdCancel->setObjectName("cmdCancel");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1, 1);
    layout->addWidget(cmdCancel, 0, Qt::AlignHCenter);
    setMinimumSize(360, 140);
    setAutoFillBackground(true);
    connect(cmdCancel, &QPushButton::clicked, this, &frmMessage::cmdCancelClicked);
}

void frmMessage::render(const PromptView& view, const QWidget* anchor) {
    setWindowTitle(QString::fromLatin1(view.caption.c_str()));
    Label1->setText(QString::fromLatin1(view.label.c_str()));
    QFont font = Label1->font();
    font.setPointSize(view.labelFontSize);
    Label1->setFont(font);
    setStyleSheet(QString("#frmMessage { background: %1; } #Label1 { color: %2; }")
                      .arg(Css(view.background), Css(view.labelColour)));
    cmdCancel->setText(QString::fromLatin1(view.buttonCaption.c_str()));
    // Keys go to the button whenever it can be pressed, so that digits typed
    // meanwhile never land in a track field; while it waits disabled, the
    // dialog beside it has the keyboard.
    const bool takesKeyboard =
        view.visible && view.buttonEnabled && (!isVisible() || !cmdCancel->isEnabled());
    cmdCancel->setEnabled(view.buttonEnabled);
    if (view.visible && !isVisible()) {
        if (anchor)
            moveBeside(anchor->geometry());
        PlaceInsideScreen(this);
        show();
    } else if (!view.visible && isVisible()) {
        hide();
    }
    if (takesKeyboard) {
        raise();
        activateWindow();
        cmdCancel->setFocus();
    }
}

void frmMessage::moveBeside(const QRect& anchor) {
    QRect place(QPoint(anchor.right() + 12, anchor.top()), sizeHint().expandedTo(minimumSize()));
    // Beside the main window when there is room, else below it, so that the
    // track data stays in sight; inside it only when neither fits, and never
    // off the screen.
    if (const QScreen* shown = screen()) {
        const QRect area = shown->availableGeometry();
        if (place.right() > area.right()) {
            QRect below = place;
            below.moveTopRight(QPoint(anchor.right(), anchor.bottom() + 30));
            if (below.bottom() <= area.bottom())
                place = below;
            else
                place.moveRight(std::min(anchor.right() - 12, area.right()));
        }
    }
    move(place.topLeft());
}

void frmMessage::closeEvent(QCloseEvent* event) {
    // The window goes when the session's view says so; while the button is
    // disabled, so is closing.
    event->ignore();
    if (cmdCancel->isEnabled())
        emit cmdCancelClicked();
}

} // namespace msrw
