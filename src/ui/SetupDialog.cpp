#include "ui/SetupDialog.h"

#include "session/Session.h"
#include "ui/DialogSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace msrw {
namespace {

QLabel* Note(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

QString TrackName(int track, const char* what, const char* suffix = "") {
    return QString("cboTk%1%2%3").arg(track).arg(what).arg(suffix);
}

} // namespace

SetupDialog::SetupDialog(Session& session, std::function<void()> after, QWidget* parent)
    : QDialog(parent), s_(session), after_(std::move(after)) {
    setObjectName("frmSetup");
    setWindowTitle(tr("Set Up"));
    setWindowModality(Qt::ApplicationModal);
    tbsSetup = new QTabBar(this);
    tbsSetup->setObjectName("tbsSetup");
    for (const char* tab : {"Format", "User Type", "Pass Book"})
        tbsSetup->addTab(tr(tab));
    Frame1 = {buildFormatFrame(), buildUserFrame(), buildPassBookFrame()};
    // One page a tab, the dialog as large as the largest: visiting the tabs
    // does not make it grow.
    frames_ = new QStackedWidget(this);
    for (QWidget* frame : Frame1)
        frames_->addWidget(frame);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tbsSetup);
    layout->addWidget(frames_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    const std::array<std::pair<const char*, void (*)(Session&)>, 3> actions{{
        {"CmdOk", &frmSetup::CmdOk_Click},
        {"cmdCancel", &frmSetup::cmdCancel_Click},
        {"cmddefault", &frmSetup::cmddefault_Click},
    }};
    const std::array<const char*, 3> captions{"OK", "Cancel", "Default"};
    for (std::size_t i = 0; i < actions.size(); ++i) {
        auto* button = new QPushButton(tr(captions[i]), this);
        button->setObjectName(actions[i].first);
        button->setAutoDefault(false);
        const auto run = actions[i].second;
        connect(button, &QPushButton::clicked, this,
                [this, run] { act([this, run] { run(s_); }); });
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    connect(tbsSetup, &QTabBar::currentChanged, this, [this](int index) {
        if (!rendering_)
            act([this, index] { frmSetup::tbsSetup_Click(s_, SetupTab(index + 1)); });
    });
}

QWidget* SetupDialog::buildFormatFrame() {
    auto* frame = new QWidget(this);
    frame->setObjectName("Frame1_1");
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(
        Note(tr("This Setting applies to card types (ISO, AAMVA, USER and RAW)"), frame));
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("BPI"), frame), 0, 1);
    for (int track = 1; track <= 3; ++track) {
        grid->addWidget(new QLabel(tr("Track %1").arg(track), frame), track, 0);
        addList(grid, track, 1, TrackName(track, "bpi"), EntryBpi(track), nullptr);
    }
    grid->addWidget(new QLabel(tr("Leading Zeros"), frame), 0, 2, 1, 2);
    grid->addWidget(new QLabel(tr("210 BPI:"), frame), 1, 2);
    grid->addWidget(addLeadzBox(LeadzBox::At210, "txt210Leadz"), 1, 3);
    grid->addWidget(new QLabel(tr("75 BPI:"), frame), 2, 2);
    grid->addWidget(addLeadzBox(LeadzBox::At75, "txt75Leadz"), 2, 3);
    layout->addLayout(grid);
    chkhico = new QCheckBox(tr("High Coercivity"), frame);
    chkhico->setObjectName("chkhico");
    connect(chkhico, &QCheckBox::clicked, this,
            [this](bool checked) { act([this, checked] { s_.format.chkhico = checked; }); });
    layout->addWidget(chkhico);
    layout->addWidget(Note(tr("The Setting of \"Leading Zeros\" and \"BPI\" in this page are NOT "
                              "applied to PASS BOOK!!"),
                           frame));
    return frame;
}

QWidget* SetupDialog::buildUserFrame() {
    auto* frame = new QWidget(this);
    frame->setObjectName("Frame1_2");
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(Note(tr("This setting applies to USER type only"), frame));
    auto* grid = new QGridLayout;
    const std::array<const char*, 4> fields{"Bpc", "Parity", "Ss", "Es"};
    const std::array<const char*, 4> headings{"BPC", "Parity", "SS", "ES"};
    for (std::size_t f = 0; f < fields.size(); ++f)
        grid->addWidget(new QLabel(tr(headings[f]), frame), 0, int(f) + 1);
    for (int track = 1; track <= 3; ++track) {
        grid->addWidget(new QLabel(tr("Track %1").arg(track), frame), track, 0);
        for (std::size_t f = 0; f < fields.size(); ++f)
            addList(grid, track, int(f) + 1, TrackName(track, fields[f]), EntryUser(track, f),
                    nullptr);
    }
    layout->addLayout(grid);
    layout->addStretch();
    return frame;
}

QWidget* SetupDialog::buildPassBookFrame() {
    auto* frame = new QWidget(this);
    frame->setObjectName("Frame1_3");
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(Note(tr("Pass Book Only!!"), frame));
    auto* grid = new QGridLayout;
    const std::array<const char*, 5> headings{"BPI", "Parity", "Sync Zeros", "SS", "ES"};
    for (std::size_t f = 0; f < headings.size(); ++f)
        grid->addWidget(new QLabel(tr(headings[f]), frame), 0, int(f) + 1);
    const std::array<const char*, 3> recorded{"SynZero", "Ss", "Es"};
    for (int track = 1; track <= 3; ++track) {
        const std::size_t t = std::size_t(track - 1);
        grid->addWidget(new QLabel(tr("Track %1").arg(track), frame), track, 0);
        addList(grid, track, 1, TrackName(track, "bpi", "_Pb"), kNoEntry,
                [this, t]() -> const ListControl& { return s_.format.passBook[t].bpi; });
        addList(grid, track, 2, TrackName(track, "Parity", "_Pb"), kNoEntry,
                [this, t]() -> const ListControl& { return s_.format.passBook[t].parity; });
        for (std::size_t f = 0; f < recorded.size(); ++f)
            addList(grid, track, int(f) + 3, TrackName(track, recorded[f], "_Pb"),
                    EntryPassBook(track, f), nullptr);
    }
    layout->addLayout(grid);
    auto* leadzRow = new QHBoxLayout;
    leadzRow->addWidget(new QLabel(tr("Leading Zeros at 210 BPI:"), frame));
    leadzRow->addWidget(addLeadzBox(LeadzBox::At210Pb, "txt210Leadz_Pb"));
    leadzRow->addStretch();
    layout->addLayout(leadzRow);
    chkReadDiff_Pb =
        new QCheckBox(tr("Check if only send track data if different when reading"), frame);
    chkReadDiff_Pb->setObjectName("chkReadDiff_Pb");
    connect(chkReadDiff_Pb, &QCheckBox::clicked, this,
            [this](bool checked) { act([this, checked] { s_.format.chkReadDiff_Pb = checked; }); });
    layout->addWidget(chkReadDiff_Pb);
    return frame;
}

QComboBox* SetupDialog::addList(QGridLayout* grid, int row, int column, const QString& name,
                                std::size_t entry, std::function<const ListControl&()> list) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(name);
    combo->installEventFilter(this);
    if (!list)
        list = [this, entry]() -> const ListControl& { return *s_.format.listForEntry(entry); };
    if (entry != kNoEntry)
        connect(combo, &QComboBox::activated, this, [this, entry](int position) {
            act([this, entry, position] { frmSetup::ChooseListItem(s_, entry, position); });
        });
    grid->addWidget(combo, row, column);
    lists_.push_back({combo, entry, std::move(list)});
    return combo;
}

QLineEdit* SetupDialog::addLeadzBox(LeadzBox box, const QString& name) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setMaximumWidth(80);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this, [this, box](const QString& text) {
        act([this, box, text] {
            frmSetup::txtLeadz_Change(s_, box, text.toLatin1().toStdString());
        });
    });
    leadz_[std::size_t(box)] = edit;
    return edit;
}

void SetupDialog::act(const std::function<void()>& action) {
    action();
    after_();
}

bool SetupDialog::eventFilter(QObject* watched, QEvent* event) {
    if (rendering_)
        return QDialog::eventFilter(watched, event);
    const auto box = std::find(leadz_.begin(), leadz_.end(), watched);
    const bool isBox = box != leadz_.end();
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int code = KeyAsciiOf(key);
        if (isBox)
            return PasteRefused(key, [](int c) { return frmSetup::txtLeadz_KeyPress(c) != 0; }) ||
                   (code != 0 && code != 13 && frmSetup::txtLeadz_KeyPress(code) == 0);
        // Control keys (Escape, Tab, Enter) keep their usual meaning.
        const bool types = code >= ' ';
        for (const BoundList& bound : lists_) {
            if (bound.combo != watched || !types)
                continue;
            // Lists are chosen from, never typed into; Delete does nothing.
            if (code != 127 && bound.entry != kNoEntry)
                act([this, &bound, code] { frmSetup::cboList_KeyPress(s_, bound.entry, code); });
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && isBox && !checking_) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Only the operator moving on counts, not a message box taking the focus.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            checking_ = true;
            const auto which = LeadzBox(box - leadz_.begin());
            act([this, which] { frmSetup::txtLeadz_LostFocus(s_, which); });
            checking_ = false;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void SetupDialog::render() {
    rendering_ = true;
    const SetupView& v = s_.operationState<SetupView>();
    const FormatStore& f = s_.format;
    for (const BoundList& bound : lists_) {
        const ListControl& list = bound.list();
        ShowListItems(bound.combo, list.items, list.selected);
        bound.combo->setEnabled(list.enabled);
    }
    const std::array<const std::string*, 3> texts{&f.txt210Leadz, &f.txt75Leadz, &f.txt210Leadz_Pb};
    for (std::size_t i = 0; i < leadz_.size(); ++i)
        ShowFieldText(leadz_[i], *texts[i]);
    chkhico->setChecked(f.chkhico);
    chkhico->setEnabled(v.chkhicoEnabled);
    chkReadDiff_Pb->setChecked(f.chkReadDiff_Pb);
    const int tab = int(v.tab) - 1;
    tbsSetup->setCurrentIndex(tab);
    frames_->setCurrentIndex(tab);
    const bool appearing = v.visible && !isVisible();
    ShowOrHideOver(this, v.visible);
    if (appearing) // the first field of the tab shown (cboTk1bpi on "Format")
        for (const BoundList& bound : lists_)
            if (Frame1[std::size_t(tab)]->isAncestorOf(bound.combo)) {
                bound.combo->setFocus();
                break;
            }
    rendering_ = false;
}

void SetupDialog::reject() {
    if (s_.operationState<SetupView>().visible)
        act([this] { frmSetup::cmdCancel_Click(s_); });
}

} // namespace msrw
