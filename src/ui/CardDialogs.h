#pragma once
// The two small dialogs of card operations: the choice of tracks to erase
// (frmEraseSel) and the range of a sequential write (frmSeqWrite). Both stay
// above the other windows and never block them.

#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace msrw {

class Session;

class EraseSelDialog : public QWidget {
    Q_OBJECT
public:
    // `after` runs after every action, so that the main window redraws.
    EraseSelDialog(Session& session, std::function<void()> after, QWidget* parent = nullptr);
    void render();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Return and Enter press OK, the default button.
    void keyPressEvent(QKeyEvent* event) override;

private:
    Session& s_;
    std::function<void()> after_;
    std::array<QCheckBox*, 3> chkTrk1{};
    QPushButton* CmdOk;
    bool rendering_ = false;
};

class SeqWriteDialog : public QWidget {
    Q_OBJECT
public:
    SeqWriteDialog(Session& session, std::function<void()> after, QWidget* parent = nullptr);
    void render();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void takeTexts();

    Session& s_;
    std::function<void()> after_;
    QLineEdit* txtStartNo;
    QLineEdit* txtEndNo;
    QPushButton* CmdOk;
    bool rendering_ = false;
};

} // namespace msrw
