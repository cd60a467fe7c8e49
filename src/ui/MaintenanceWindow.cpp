#include "ui/MaintenanceWindow.h"

#include "operations/settings/Maintenance.h"
#include "session/Session.h"
#include "ui/DialogSupport.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace msrw {
namespace {

QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

struct OptionSpec {
    const char* name;
    const char* caption;
    cmd::TrackModel model;
};

constexpr std::array<OptionSpec, 4> kOptions{{
    {"optTk2", "Track 2", cmd::TrackModel::Track2},
    {"optTk23", "Track 2 and Track 3", cmd::TrackModel::Tracks2And3},
    {"optTk123", "Track 1,2 and 3", cmd::TrackModel::Tracks1To3},
    {"optTk12", "Track 1 and Track 2", cmd::TrackModel::Tracks1And2},
}};

MaintenanceView& View(Session& s) {
    return s.operationState<Maintenance>().view;
}

} // namespace

MaintenanceWindow::MaintenanceWindow(Session& session, std::function<void()> after, QWidget* parent)
    : QWidget(parent, Qt::Window), s_(session), after_(std::move(after)) {
    setObjectName("frmCfgSet");
    setWindowTitle(kMaintenanceTitle);
    txtCurLzBiaz = new QLineEdit(this);
    txtCurLzBiaz->setObjectName("txtCurLzBiaz");
    txtCurModel = new QLineEdit(this);
    txtCurModel->setObjectName("txtCurModel");
    for (QLineEdit* shown : {txtCurLzBiaz, txtCurModel}) {
        shown->setReadOnly(true);
        shown->setFocusPolicy(Qt::NoFocus);
    }
    txtSetLzBias = new QLineEdit(this);
    txtSetLzBias->setObjectName("txtSetLzBias");
    txtSetLzBias->setMaxLength(2);
    txtSetLzBias->installEventFilter(this);
    connect(txtSetLzBias, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!rendering_)
            View(s_).txtSetLzBias = text.toLatin1().toStdString();
    });

    auto* current = new QFormLayout;
    current->addRow(tr("Current Lead Zero Bias Value:"), txtCurLzBiaz);
    current->addRow(tr("Current Device Model"), txtCurModel);
    current->addRow(tr("Input a HEX value to set LZ bias manually:"), txtSetLzBias);

    auto* models = new QGroupBox(tr("Set New Device Model"), this);
    auto* modelLayout = new QVBoxLayout(models);
    auto* group = new QButtonGroup(this);
    for (std::size_t i = 0; i < kOptions.size(); ++i) {
        auto* option = new QRadioButton(tr(kOptions[i].caption), models);
        option->setObjectName(kOptions[i].name);
        group->addButton(option);
        modelLayout->addWidget(option);
        options[i] = option;
        const cmd::TrackModel model = kOptions[i].model;
        connect(option, &QRadioButton::clicked, this, [this, model] {
            frmCfgSet::optTk_Click(s_, model);
            after_();
        });
    }

    auto* grid = new QGridLayout;
    grid->addWidget(button("cmdSetLzBiasManual", tr("Set  LZ Bias manually"),
                           &frmCfgSet::cmdSetLzBiasManual_Click),
                    0, 0);
    grid->addWidget(button("cmdSetLzBiasFixture", tr("Check/Set LZ Bias with Fixture"),
                           &frmCfgSet::cmdSetLzBiasFixture_Click),
                    0, 1);
    cmdSetLoCo = button("cmdSetLoCo", {}, &frmCfgSet::cmdSetLoCo_Click);
    grid->addWidget(cmdSetLoCo, 1, 0);
    grid->addWidget(button("cmdUpdateFrm", tr("Update Firmware"), &frmCfgSet::cmdUpdateFrm_Click),
                    1, 1);
    grid->addWidget(button("cmdSendCmd", tr("Run Script File"), &frmCfgSet::cmdSendCmd_Click), 2,
                    0);
    QPushButton* close = button("cmdCancel", tr("Cancel"), nullptr);
    connect(close, &QPushButton::clicked, this, &MaintenanceWindow::cancel);
    grid->addWidget(close, 2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(current);
    layout->addWidget(models);
    layout->addLayout(grid);
}

QPushButton* MaintenanceWindow::button(const char* name, const QString& caption,
                                       void (*click)(Session&)) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    if (click)
        connect(b, &QPushButton::clicked, this, [this, click] {
            click(s_);
            after_();
        });
    buttons_.push_back(b);
    return b;
}

void MaintenanceWindow::cancel() {
    frmCfgSet::cmdCancel_Click(s_);
    after_();
}

bool MaintenanceWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != txtSetLzBias || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->text().size() != 1 || key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return ||
        key->key() == Qt::Key_Enter)
        return false; // navigation keys, Escape and Enter act as they do elsewhere
    const int code = key->key() == Qt::Key_Backspace ? 8 : key->text()[0].unicode();
    const int passed = frmCfgSet::txtSetLzBias_KeyPress(code);
    if (passed == 0)
        return true;
    if (passed != code) {
        txtSetLzBias->insert(QString(QChar(passed)));
        return true;
    }
    return false;
}

void MaintenanceWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        cancel();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MaintenanceWindow::render() {
    rendering_ = true;
    const MaintenanceView& v = View(s_);
    txtCurLzBiaz->setText(Latin1(v.txtCurLzBiaz));
    txtCurModel->setText(Latin1(v.txtCurModel));
    if (txtSetLzBias->text().toStdString() != v.txtSetLzBias)
        txtSetLzBias->setText(Latin1(v.txtSetLzBias));
    for (std::size_t i = 0; i < kOptions.size(); ++i) {
        options[i]->setEnabled(v.controlsEnabled);
        // A group keeps one button checked: uncheck through exclusivity off.
        const bool checked = v.checkedModel == kOptions[i].model;
        if (options[i]->isChecked() != checked) {
            options[i]->group()->setExclusive(false);
            options[i]->setChecked(checked);
            options[i]->group()->setExclusive(true);
        }
    }
    for (QPushButton* b : buttons_)
        b->setEnabled(v.controlsEnabled);
    txtSetLzBias->setEnabled(v.controlsEnabled);
    cmdSetLoCo->setText(Latin1(v.cmdSetLoCoCaption));
    const bool appearing = v.visible && !isVisible();
    ShowOrHideOver(this, v.visible);
    if (appearing) {
        activateWindow();
        txtSetLzBias->setFocus();
    }
    rendering_ = false;
}

void MaintenanceWindow::closeEvent(QCloseEvent* event) {
    if (View(s_).visible)
        cancel();
    event->accept();
}

} // namespace msrw
