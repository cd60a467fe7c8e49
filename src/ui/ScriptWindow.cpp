#include "ui/ScriptWindow.h"

#include "operations/settings/ScriptRunner.h"
#include "session/Session.h"
#include "ui/DialogSupport.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace msrw {
namespace {

QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

} // namespace

ScriptWindow::ScriptWindow(Session& session, std::function<void()> after, QWidget* parent)
    : QWidget(parent, Qt::Window), s_(session), after_(std::move(after)) {
    setObjectName("frmScript");
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto* heading = new QLabel(tr("Run Scritp File"), this);
    QFont big = heading->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    heading->setFont(big);
    txtResponse = new QLineEdit(this);
    txtResponse->setObjectName("txtResponse");
    txtcomment = new QLineEdit(this);
    txtcomment->setObjectName("txtcomment");
    txtDspCmd = new QPlainTextEdit(this);
    txtDspCmd->setObjectName("txtDspCmd");
    for (QWidget* w : std::initializer_list<QWidget*>{txtResponse, txtcomment, txtDspCmd})
        w->setFont(fixed);
    txtResponse->setReadOnly(true);
    txtcomment->setReadOnly(true);
    txtDspCmd->setReadOnly(true);
    txtDspCmd->setMinimumSize(520, 260);
    cmdRunStep = new QPushButton(tr("Send Command"), this);
    cmdRunStep->setObjectName("cmdRunStep");
    cmdRunStep->setDefault(true);
    CmdExit = new QPushButton(tr("Exit"), this);
    CmdExit->setObjectName("CmdExit");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(new QLabel(tr("Next Command:"), this));
    layout->addWidget(txtResponse);
    layout->addWidget(new QLabel(tr("Comment:"), this));
    layout->addWidget(txtcomment);
    layout->addWidget(new QLabel(tr("History:"), this));
    layout->addWidget(txtDspCmd);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdRunStep);
    buttons->addWidget(CmdExit);
    layout->addLayout(buttons);

    connect(cmdRunStep, &QPushButton::clicked, this, [this] {
        frmScript::cmdRunStep_Click(s_, s_.operationState<ScriptRunner>());
        after_();
    });
    connect(CmdExit, &QPushButton::clicked, this, &ScriptWindow::exit);
}

void ScriptWindow::exit() {
    frmScript::CmdExit_Click(s_, s_.operationState<ScriptRunner>());
    after_();
}

void ScriptWindow::render() {
    ScriptView& v = s_.operationState<ScriptRunner>().view;
    setWindowTitle(Latin1(v.title));
    txtResponse->setText(Latin1(v.txtResponse));
    txtcomment->setText(Latin1(v.txtcomment));
    const QString history = Latin1(v.txtDspCmd).replace("\r\n", "\n");
    if (txtDspCmd->toPlainText() != history) {
        txtDspCmd->setPlainText(history);
        txtDspCmd->moveCursor(QTextCursor::End);
        txtDspCmd->ensureCursorVisible();
    }
    cmdRunStep->setEnabled(v.cmdRunStepEnabled);
    const bool appearing = v.visible && !isVisible();
    ShowOrHideOver(this, v.visible);
    if (appearing) {
        activateWindow();
        cmdRunStep->setFocus();
    } else if (v.historyFocused && isVisible()) {
        txtDspCmd->setFocus();
        v.historyFocused = false;
    }
}

void ScriptWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        exit();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ScriptWindow::closeEvent(QCloseEvent* event) {
    if (s_.operationState<ScriptRunner>().view.visible) {
        frmScript::Form_Unload(s_, s_.operationState<ScriptRunner>());
        after_();
    }
    event->accept();
}

} // namespace msrw
