#include "ui/CfgDialog.h"

#include "operations/settings/CfgDialog.h"
#include "session/Session.h"
#include "ui/DialogSupport.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace msrw {
namespace {

CfgView& View(Session& s) {
    return s.operationState<CfgView>();
}

QGroupBox* Framed(const QString& caption, QWidget* content, QWidget* parent) {
    auto* frame = new QGroupBox(caption, parent);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(content);
    return frame;
}

} // namespace

CfgDialog::CfgDialog(Session& session, std::function<void()> after, QWidget* parent)
    : QDialog(parent), s_(session), after_(std::move(after)) {
    setObjectName("frmCfg");
    setWindowTitle(tr("Velk MSRW Configuration"));
    auto* grid = new QGridLayout;
    // Frame captions, list names, the texts the lists show before a choice,
    // and where they stand.
    struct ListSpec {
        const char* caption;
        const char* name;
        const char* designText;
        ListControl& (*list)(Session&);
        int row, column, columns;
    };
    const std::array<ListSpec, 5> specs{{
        {"MSRW Mode", "cboMsrwMode", "Velk Mode",
         [](Session& s) -> ListControl& { return View(s).cboMsrwMode; }, 0, 0, 1},
        {"BaudRate", "cboBaudRate", "38400",
         [](Session& s) -> ListControl& { return View(s).cboBaudRate; }, 0, 1, 1},
        {"Serial Parameters", "cboParity", "8,N,1",
         [](Session& s) -> ListControl& { return View(s).cboParity; }, 0, 2, 1},
        {"Select Coercivity", "cboSelHiLo", "High Coercivity",
         [](Session& s) -> ListControl& { return View(s).cboSelHiLo; }, 1, 0, 1},
        {"Track Upload Mode", "cboTrkMode", "",
         [](Session& s) -> ListControl& { return View(s).cboTrkMode; }, 1, 1, 2},
    }};
    for (const ListSpec& spec : specs)
        grid->addWidget(
            Framed(tr(spec.caption), addList(spec.name, spec.designText, spec.list), this),
            spec.row, spec.column, 1, spec.columns);
    const std::array<std::pair<const char*, const char*>, 4> fields{{
        {"txtLoCo", "LowCo Index"},
        {"txtHiCo", "HiCo Index"},
        {"txt75Lz", "75 BPI LZ"},
        {"txt210Lz", "210 BPI Leading Zeros"},
    }};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(fields[i].first);
        const auto field = CfgField(i);
        connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& text) {
            act([this, field, text] {
                frmCfg::txtField_Change(s_, field, text.toLatin1().toStdString());
            });
        });
        fields_[i] = edit;
        grid->addWidget(Framed(tr(fields[i].second), edit, this), 2 + int(i) / 2, int(i) % 2);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(
        new QLabel(tr("Note:  The result will be saved to non-volatile Memory"), this));
    const auto run = [this](void (*handler)(Session&)) {
        return [this, handler] { act([this, handler] { handler(s_); }); };
    };
    (void)AddButtonRow(this, layout,
                       {{"cmdCfgDefault", "Default", run(&frmCfg::cmdCfgDefault_Click)},
                        {"cmdCfgSave", "Save", run(&frmCfg::cmdCfgSave_Click)},
                        {"cmdCfgClose", "Close", run(&frmCfg::cmdCfgClose_Click)}});
}

QComboBox* CfgDialog::addList(const char* name, const char* designText,
                              ListControl& (*list)(Session&)) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(name);
    combo->setPlaceholderText(tr(designText));
    const bool isMode = std::string_view(name) == "cboMsrwMode";
    connect(combo, &QComboBox::activated, this, [this, list, isMode](int position) {
        act([this, list, isMode, position] {
            if (isMode)
                frmCfg::cboMsrwMode_Click(s_, position);
            else
                list(s_).select(position);
        });
    });
    lists_.push_back({combo, list});
    return combo;
}

void CfgDialog::act(const std::function<void()>& action) {
    action();
    after_();
}

void CfgDialog::render() {
    rendering_ = true;
    const CfgView& v = View(s_);
    for (const BoundList& bound : lists_) {
        const ListControl& list = bound.list(s_);
        ShowListItems(bound.combo, list.items, list.selected);
    }
    for (std::size_t i = 0; i < fields_.size(); ++i)
        ShowFieldText(fields_[i], v.fields[i]);
    const bool appearing = v.visible && !isVisible();
    ShowOrHideOver(this, v.visible);
    if (appearing)
        lists_.front().combo->setFocus(); // cboMsrwMode, the first field
    rendering_ = false;
}

void CfgDialog::reject() {
    if (View(s_).visible)
        act([this] { frmCfg::cmdCfgClose_Click(s_); });
}

} // namespace msrw
