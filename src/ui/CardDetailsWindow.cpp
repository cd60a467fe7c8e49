#include "ui/CardDetailsWindow.h"

#include "operations/reading/CardDetailsFeed.h"
#include "session/Session.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

namespace msrw {
namespace {

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QLabel* ValueLabel(const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

QLabel* Heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

} // namespace

CardDetailsWindow::CardDetailsWindow(Session& session, std::function<void()> after, QWidget* parent)
    : QWidget(parent, Qt::Window), s_(session), after_(std::move(after)) {
    setObjectName("frmCardDetails");
    setWindowTitle(tr("Card Details"));
    lblLayout = Heading({}, this);
    lblLayout->setObjectName("lblLayout");
    lblSource = new QLabel(this);
    lblSource->setObjectName("lblSource");
    // The checks stand above the fields: they are what an operator looks for.
    checks_ = new QWidget(this);
    new QVBoxLayout(checks_);
    checks_->layout()->setContentsMargins(0, 4, 0, 4);
    fields_ = new QScrollArea(this);
    fields_->setWidgetResizable(true);
    fields_->setMinimumSize(440, 300);
    chkShowFullNumber = new QCheckBox(tr("Show the full number"), this);
    chkShowFullNumber->setObjectName("chkShowFullNumber");
    auto* close = new QPushButton(tr("Close"), this);
    close->setObjectName("cmdClose");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblLayout);
    layout->addWidget(lblSource);
    layout->addWidget(checks_);
    layout->addWidget(fields_, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(chkShowFullNumber);
    row->addStretch();
    row->addWidget(close);
    layout->addLayout(row);

    connect(chkShowFullNumber, &QCheckBox::clicked, this, [this](bool ticked) {
        chkShowFullNumber_Click(s_, ticked);
        after_();
    });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
}

void CardDetailsWindow::drawDetails(const CardDetailsView& v) {
    auto* content = new QWidget;
    auto* form = new QFormLayout(content);
    int section = 0;
    for (const details::Field& f : v.details.fields) {
        if (f.track != section) {
            section = f.track;
            form->addRow(Heading(tr("Track %1").arg(section), content));
        }
        const QString name = QString("lblField_%1_%2").arg(f.track).arg(Utf8(f.key));
        QLabel* value = ValueLabel(Utf8(details::ShownValue(f)), name, content);
        if (f.state != details::FieldState::Present)
            value->setStyleSheet("color: #707070; font-style: italic;");
        form->addRow(Utf8(f.label) + ":", value);
    }
    fields_->setWidget(content); // the old form goes with it
}

void CardDetailsWindow::drawChecks(const CardDetailsView& v) {
    qDeleteAll(checks_->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly));
    for (const details::Check& c : v.details.checks) {
        const QString text =
            QString(c.passed ? "\u2714 " : "\u2718 ") + Utf8(c.label) + ": " + Utf8(c.sentence);
        QLabel* check = ValueLabel(text, "lblCheck_" + Utf8(c.key), checks_);
        check->setStyleSheet(c.passed ? "color: #007000;" : "color: #c00000;");
        checks_->layout()->addWidget(check);
    }
}

void CardDetailsWindow::placeBesideOwner() {
    const QWidget* owner = parentWidget();
    const QScreen* screen = owner ? owner->screen() : nullptr;
    if (!owner || !screen)
        return;
    adjustSize(); // not shown yet: its size is not laid out
    const QRect frame = owner->frameGeometry();
    const QRect room = screen->availableGeometry();
    const QSize size = frameGeometry().size();
    const int gap = 8;
    // Below the main window, else to its right (the simulator's window and
    // the swipe prompt stand to its left and over it); else where the window
    // manager puts it.
    if (frame.bottom() + gap + size.height() <= room.bottom())
        move(frame.left(), frame.bottom() + gap);
    else if (frame.right() + gap + size.width() <= room.right())
        move(frame.right() + gap, frame.top());
}

void CardDetailsWindow::render() {
    FollowMainTracks(s_);
    const CardDetailsView& v = s_.operationState<CardDetailsView>();
    if (drawn_ != v.revision) {
        drawn_ = v.revision;
        lblLayout->setText(details::LayoutName(v.details.layout));
        lblSource->setText(Utf8(v.source));
        drawChecks(v);
        drawDetails(v);
    }
    chkShowFullNumber->setChecked(v.showFullNumber);
    if (v.visible && !isVisible()) {
        placeBesideOwner();
        show();
        raise();
    } else if (!v.visible && isVisible()) {
        hide();
    }
}

void CardDetailsWindow::closeEvent(QCloseEvent* event) {
    if (s_.operationState<CardDetailsView>().visible) {
        CardDetailsClosed(s_);
        after_();
    }
    event->accept();
}

} // namespace msrw
