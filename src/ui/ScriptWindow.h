#pragma once
// The script runner's window: the next command and its comment, the history
// of commands sent and replies, "Send Command" and "Exit".

#include <QWidget>
#include <functional>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace msrw {

class Session;

class ScriptWindow : public QWidget {
    Q_OBJECT
public:
    // `after` runs after every action, so that the other windows redraw.
    ScriptWindow(Session& session, std::function<void()> after, QWidget* parent = nullptr);
    void render();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void exit();

    Session& s_;
    std::function<void()> after_;
    QLineEdit* txtResponse;
    QLineEdit* txtcomment;
    QPlainTextEdit* txtDspCmd;
    QPushButton* cmdRunStep;
    QPushButton* CmdExit;
};

} // namespace msrw
