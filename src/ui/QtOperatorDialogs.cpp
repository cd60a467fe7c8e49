#include "ui/QtOperatorDialogs.h"

#include "ui/SimulatorWindow.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

namespace msrw {
namespace {

QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

QMessageBox::Icon QtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// The swipe prompt and the card dialogs stay above every window: a box that
// did not would open behind them, out of the operator's reach.
int ExecOnTop(QMessageBox& box) {
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    return box.exec();
}

} // namespace

QWidget* QtOperatorDialogs::owner() const {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    // A window just hidden can still be the active one for a moment. The
    // simulator's window stands for the device, not for the program: what
    // the program says after a swipe there belongs to the main window.
    QWidget* active = QApplication::activeWindow();
    if (active && active->isVisible() && active != SimulatorWindow::find())
        return active;
    return parent_;
}

QString QtOperatorDialogs::titleOr(const std::string& title) const {
    return title.empty() ? title_ : Latin1(title);
}

void QtOperatorDialogs::showMessage(const std::string& text, MessageIcon icon,
                                    const std::string& title) {
    QMessageBox box(QtIcon(icon), titleOr(title), Latin1(text), QMessageBox::Ok, owner());
    ExecOnTop(box);
}

bool QtOperatorDialogs::askYesNo(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::Question, titleOr(title), Latin1(text),
                    QMessageBox::Yes | QMessageBox::No, owner());
    return ExecOnTop(box) == QMessageBox::Yes;
}

bool QtOperatorDialogs::askOkCancel(const std::string& text, MessageIcon icon,
                                    const std::string& title) {
    QMessageBox box(QtIcon(icon), titleOr(title), Latin1(text),
                    QMessageBox::Ok | QMessageBox::Cancel, owner());
    return ExecOnTop(box) == QMessageBox::Ok;
}

std::optional<std::string> QtOperatorDialogs::askText(const std::string& prompt,
                                                      const std::string& title) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(owner(), titleOr(title), Latin1(prompt), QLineEdit::Normal, {}, &ok);
    if (!ok)
        return std::nullopt;
    return text.toLatin1().toStdString();
}

QString QtOperatorDialogs::QtFilter(const std::string& filter) {
    const QStringList parts = Latin1(filter).split('|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        out << parts[i];
    return out.join(";;");
}

std::optional<std::string> QtOperatorDialogs::chooseOpenFile(const std::string& startFolder,
                                                             const std::string& filter) {
    const QString name = QFileDialog::getOpenFileName(
        owner(), title_, QString::fromStdString(startFolder), QtFilter(filter));
    if (name.isEmpty())
        return std::nullopt;
    return name.toStdString();
}

std::optional<std::string> QtOperatorDialogs::chooseSaveFile(const std::string& startFolder,
                                                             const std::string& filter) {
    const QString name =
        QFileDialog::getSaveFileName(owner(), title_, QString::fromStdString(startFolder),
                                     QtFilter(filter), nullptr, QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty())
        return std::nullopt;
    return name.toStdString();
}

} // namespace msrw
