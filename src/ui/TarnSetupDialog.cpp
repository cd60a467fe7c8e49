#include "ui/TarnSetupDialog.h"

#include "session/Session.h"
#include "ui/DialogSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace msrw {
namespace {

constexpr std::array<const char*, kTarnBoxes> kBoxNames{"txtLzT1", "txtLzT2", "txtLzT3", "txt75Lz",
                                                        "txt210Lz"};

} // namespace

TarnSetupDialog::TarnSetupDialog(Session& session, std::function<void()> after, QWidget* parent)
    : QDialog(parent), s_(session), after_(std::move(after)) {
    setObjectName("frmTarnSetup");
    setWindowTitle(tr("Tarn Setup"));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildTracksFrame());
    auto* serial = new QHBoxLayout;
    serial->addWidget(buildOptions(
        tr("Baud Rate"),
        {{"opt19200", "19200"},
         {"opt9600", "9600"},
         {"opt4800", "4800"},
         {"opt2400", "2400"},
         {"opt1200", "1200"}},
        [](const TarnSetupView& v, std::size_t i) { return v.serial.baud == kTarnBauds[i]; },
        [](TarnSetupView& v, std::size_t i) { v.serial.baud = kTarnBauds[i]; }));
    serial->addWidget(buildOptions(
        tr("Data Format"),
        {{"opt7odd", "7 bit, odd parity"},
         {"opt7even", "7 bit, even parity"},
         {"opt7mark", "7 bit, mark parity"},
         {"opt7space", "7 bit, space parity"}},
        [](const TarnSetupView& v, std::size_t i) { return v.serial.parity == kTarnParities[i]; },
        [](TarnSetupView& v, std::size_t i) { v.serial.parity = kTarnParities[i]; }));
    layout->addLayout(serial);
    auto* protocol = new QHBoxLayout;
    protocol->addWidget(buildOptions(
        tr("Protocol"),
        {{"optprotocol0", "No message block"}, {"optprotocol1", "STX command data ETX"}},
        [](const TarnSetupView& v, std::size_t i) { return v.framed == (i == 1); },
        [](TarnSetupView& v, std::size_t i) { v.framed = i == 1; }));
    protocol->addWidget(buildOptions(
        tr("Mode"),
        {{"optmode1", "Mode 1 - Hex 04 byte termination"},
         {"optmode2", "Mode 2 - length of last byte"}},
        [](const TarnSetupView& v, std::size_t i) { return v.modeOne == (i == 0); },
        [](TarnSetupView& v, std::size_t i) { v.modeOne = i == 0; }));
    layout->addLayout(protocol);
    auto* device = new QHBoxLayout;
    device->addWidget(buildLeadingZerosFrame());
    chktarnhico = new QCheckBox(tr("Hi-Coercivity"), this);
    chktarnhico->setObjectName("chktarnhico");
    connect(chktarnhico, &QCheckBox::clicked, this,
            [this](bool checked) { act([this, checked] { view().chktarnhico = checked; }); });
    device->addWidget(chktarnhico);
    layout->addLayout(device);
    const auto run = [this](void (*handler)(Session&)) {
        return [this, handler] { act([this, handler] { handler(s_); }); };
    };
    buttons_ =
        AddButtonRow(this, layout,
                     {{"CmdTarnsetupOk", "OK", run(&frmTarnSetup::CmdTarnsetupOk_Click)},
                      {"CmdTarnDefault", "Default", run(&frmTarnSetup::CmdTarnDefault_Click)},
                      {"CmdTarnCancel", "Cancel", run(&frmTarnSetup::CmdTarnCancel_Click)}});
}

TarnSetupView& TarnSetupDialog::view() const {
    return s_.operationState<TarnSetupView>();
}

QGroupBox* TarnSetupDialog::buildTracksFrame() {
    auto* frame = new QGroupBox(tr("Custom Data"), this);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(tr("Leading Zero Bytes"), frame), 0, 1);
    grid->addWidget(new QLabel(tr("Data Bits"), frame), 0, 2);
    grid->addWidget(new QLabel(tr("BPI"), frame), 0, 3);
    for (std::size_t t = 0; t < 3; ++t) {
        const int row = int(t) + 1;
        grid->addWidget(new QLabel(tr("Track %1").arg(row), frame), row, 0);
        grid->addWidget(addBox(TarnBox(t)), row, 1);
        grid->addWidget(addList(QString("cboT%1custom").arg(row), &TarnSetupView::cboCustom, t),
                        row, 2);
        grid->addWidget(addList(QString("cboTk%1bpi").arg(row), &TarnSetupView::cboTkBpi, t), row,
                        3);
    }
    return frame;
}

QGroupBox* TarnSetupDialog::buildLeadingZerosFrame() {
    auto* frame = new QGroupBox(tr("Leading Zeros"), this);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(tr("75 BPI:"), frame), 0, 0);
    grid->addWidget(addBox(TarnBox::txt75Lz), 0, 1);
    grid->addWidget(new QLabel(tr("210 BPI:"), frame), 1, 0);
    grid->addWidget(addBox(TarnBox::txt210Lz), 1, 1);
    return frame;
}

QGroupBox*
TarnSetupDialog::buildOptions(const QString& caption,
                              const std::vector<std::pair<const char*, const char*>>& options,
                              std::function<bool(const TarnSetupView&, std::size_t)> isChosen,
                              std::function<void(TarnSetupView&, std::size_t)> choose) {
    auto* frame = new QGroupBox(caption, this);
    auto* layout = new QVBoxLayout(frame);
    for (std::size_t i = 0; i < options.size(); ++i) {
        auto* button = new QRadioButton(tr(options[i].second), frame);
        button->setObjectName(options[i].first);
        connect(button, &QRadioButton::clicked, this,
                [this, choose, i] { act([this, choose, i] { choose(view(), i); }); });
        layout->addWidget(button);
        options_.push_back({button, i, isChosen});
    }
    layout->addStretch();
    return frame;
}

QLineEdit* TarnSetupDialog::addBox(TarnBox box) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(kBoxNames[std::size_t(box)]);
    edit->setMaximumWidth(60);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this, [this, box](const QString& text) {
        act([this, box, text] { view().box(box) = text.toLatin1().toStdString(); });
    });
    boxes_[std::size_t(box)] = edit;
    return edit;
}

QComboBox* TarnSetupDialog::addList(const QString& name, TrackLists lists, std::size_t track) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(name);
    connect(combo, &QComboBox::activated, this, [this, lists, track](int position) {
        act([this, lists, track, position] { (void)(view().*lists)[track].select(position); });
    });
    lists_.push_back({combo, lists, track});
    return combo;
}

void TarnSetupDialog::act(const std::function<void()>& action) {
    action();
    after_();
}

bool TarnSetupDialog::eventFilter(QObject* watched, QEvent* event) {
    const auto box = std::find(boxes_.begin(), boxes_.end(), watched);
    if (rendering_ || box == boxes_.end())
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (PasteRefused(key, [](int c) { return frmTarnSetup::txtBox_KeyPress(c) != 0; }))
            return true;
        const int code = KeyAsciiOf(key);
        // Control keys (Tab, Escape, Enter) and navigation keep their meaning.
        if (code >= ' ' || code == 8)
            return frmTarnSetup::txtBox_KeyPress(code) == 0;
    } else if (event->type() == QEvent::FocusOut && !checking_) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Only the operator moving on counts, not a message box taking the focus.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            checking_ = true;
            const auto which = TarnBox(box - boxes_.begin());
            act([this, which] { frmTarnSetup::txtBox_LostFocus(s_, which); });
            checking_ = false;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TarnSetupDialog::render() {
    rendering_ = true;
    const TarnSetupView& v = view();
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        ShowFieldText(boxes_[i], v.boxes[i]);
    for (const BoundList& bound : lists_) {
        const ListControl& list = (v.*bound.lists)[bound.track];
        ShowListItems(bound.combo, list.items, list.selected);
    }
    for (const BoundOption& option : options_)
        option.button->setChecked(option.isChosen(v, option.index));
    chktarnhico->setChecked(v.chktarnhico);
    chktarnhico->setEnabled(v.chktarnhicoEnabled);
    for (QPushButton* button : buttons_)
        button->setEnabled(v.buttonsEnabled);
    ShowOrHideOver(this, v.visible, boxes_.front()); // txtLzT1, the first field
    rendering_ = false;
}

void TarnSetupDialog::reject() {
    if (view().visible && view().buttonsEnabled)
        act([this] { frmTarnSetup::CmdTarnCancel_Click(s_); });
}

} // namespace msrw
