#include "ui/CardDialogs.h"

#include "operations/writing/EraseOperation.h"
#include "operations/writing/SequentialWrite.h"
#include "session/Session.h"
#include "ui/DialogSupport.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace msrw {
namespace {

constexpr Qt::WindowFlags kToolWindow = Qt::Tool | Qt::WindowStaysOnTopHint;

} // namespace

EraseSelDialog::EraseSelDialog(Session& session, std::function<void()> after, QWidget* parent)
    : QWidget(parent, kToolWindow), s_(session), after_(std::move(after)) {
    setObjectName("frmEraseSel");
    setWindowTitle(tr("Erase Select"));
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < 3; ++i) {
        auto* box = new QCheckBox(tr("Track %1").arg(i + 1), this);
        box->setObjectName(QString("chkTrk1_%1").arg(i));
        connect(box, &QCheckBox::toggled, this, [this, i](bool checked) {
            if (rendering_)
                return;
            frmEraseSel::chkTrk1_Click(s_, s_.operationState<EraseSelView>(), i, checked);
            after_();
        });
        chkTrk1[std::size_t(i)] = box;
        layout->addWidget(box);
    }
    CmdOk = new QPushButton(tr("OK"), this);
    CmdOk->setObjectName("CmdOk");
    CmdOk->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName("cmdCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CmdOk);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(CmdOk, &QPushButton::clicked, this, [this] {
        frmEraseSel::CmdOk_Click(s_, s_.operationState<EraseSelView>());
        after_();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        frmEraseSel::cmdCancel_Click(s_, s_.operationState<EraseSelView>());
        after_();
    });
}

void EraseSelDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (CmdOk->isEnabled())
            CmdOk->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void EraseSelDialog::render() {
    rendering_ = true;
    const EraseSelView& v = s_.operationState<EraseSelView>();
    for (std::size_t i = 0; i < 3; ++i)
        chkTrk1[i]->setChecked(v.chkTrk1[i]);
    CmdOk->setEnabled(v.CmdOkEnabled);
    ShowOrHideOver(this, v.visible, chkTrk1[0]);
    rendering_ = false;
}

void EraseSelDialog::closeEvent(QCloseEvent* event) {
    if (s_.operationState<EraseSelView>().visible) {
        frmEraseSel::cmdCancel_Click(s_, s_.operationState<EraseSelView>());
        after_();
    }
    event->accept();
}

SeqWriteDialog::SeqWriteDialog(Session& session, std::function<void()> after, QWidget* parent)
    : QWidget(parent, kToolWindow), s_(session), after_(std::move(after)) {
    setObjectName("frmSeqWrite");
    setWindowTitle(tr("Sequential Write"));
    txtStartNo = new QLineEdit(this);
    txtStartNo->setObjectName("txtStartNo");
    txtEndNo = new QLineEdit(this);
    txtEndNo->setObjectName("txtEndNo");
    for (QLineEdit* field : {txtStartNo, txtEndNo}) {
        field->setMaxLength(kSeqNumberMaxLength);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textChanged, this, [this] {
            if (!rendering_)
                takeTexts();
        });
    }
    auto* form = new QFormLayout;
    form->addRow(tr("Start No.:"), txtStartNo);
    form->addRow(tr("No. of card:"), txtEndNo);
    CmdOk = new QPushButton(tr("OK"), this);
    CmdOk->setObjectName("CmdOk");
    CmdOk->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName("cmdCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CmdOk);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    connect(CmdOk, &QPushButton::clicked, this, [this] {
        takeTexts();
        frmSeqWrite::CmdOk_Click(s_, s_.operationState<SequentialWrite>());
        after_();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        frmSeqWrite::cmdCancel_Click(s_, s_.operationState<SequentialWrite>());
        after_();
    });
}

void SeqWriteDialog::takeTexts() {
    SeqWriteView& v = s_.operationState<SequentialWrite>().dialog;
    v.txtStartNo = txtStartNo->text().toLatin1().toStdString();
    v.txtEndNo = txtEndNo->text().toLatin1().toStdString();
}

bool SeqWriteDialog::eventFilter(QObject* watched, QEvent* event) {
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (!field || rendering_)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        frmSeqWrite::txtNo_FocusChanged(s_.operationState<SequentialWrite>(),
                                        event->type() == QEvent::FocusIn);
        render();
    } else if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (PasteRefused(key, [this](int c) {
                return frmSeqWrite::txtNo_KeyPress(s_, s_.operationState<SequentialWrite>(), c) !=
                       0;
            }))
            return true;
        const int code = KeyAsciiOf(key);
        if (code == 0)
            return false; // navigation and editing keys
        takeTexts();
        const int passed =
            frmSeqWrite::txtNo_KeyPress(s_, s_.operationState<SequentialWrite>(), code);
        after_();
        return passed == 0 || code == 13; // swallowed, or Enter already acted
    }
    return QWidget::eventFilter(watched, event);
}

void SeqWriteDialog::render() {
    rendering_ = true;
    const SeqWriteView& v = s_.operationState<SequentialWrite>().dialog;
    if (txtStartNo->text().toStdString() != v.txtStartNo)
        txtStartNo->setText(QString::fromLatin1(v.txtStartNo.c_str()));
    if (txtEndNo->text().toStdString() != v.txtEndNo)
        txtEndNo->setText(QString::fromLatin1(v.txtEndNo.c_str()));
    QFont font = CmdOk->font();
    font.setBold(v.CmdOkBold);
    CmdOk->setFont(font);
    ShowOrHideOver(this, v.visible, v.startNoFocused ? txtStartNo : nullptr);
    rendering_ = false;
}

void SeqWriteDialog::closeEvent(QCloseEvent* event) {
    if (s_.operationState<SequentialWrite>().dialog.visible) {
        frmSeqWrite::cmdCancel_Click(s_, s_.operationState<SequentialWrite>());
        after_();
    }
    event->accept();
}

} // namespace msrw
