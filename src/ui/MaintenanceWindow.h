#pragma once
// The maintenance dialog's window (frmCfgSet): the reader's lead-zero bias
// and track model, the fixture check, the coercivity lock, the firmware
// update and scripts.

#include <QWidget>
#include <array>
#include <functional>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace msrw {

class Session;

class MaintenanceWindow : public QWidget {
    Q_OBJECT
public:
    // `after` runs after every action, so that the other windows redraw.
    MaintenanceWindow(Session& session, std::function<void()> after, QWidget* parent = nullptr);
    void render();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPushButton* button(const char* name, const QString& caption, void (*click)(Session&));
    void cancel();

    Session& s_;
    std::function<void()> after_;
    QLineEdit* txtCurLzBiaz;
    QLineEdit* txtCurModel;
    QLineEdit* txtSetLzBias;
    std::array<QRadioButton*, 4> options{};
    std::vector<QPushButton*> buttons_;
    QPushButton* cmdSetLoCo;
    bool rendering_ = false;
};

} // namespace msrw
