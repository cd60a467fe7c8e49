#include "ui/frmpwd.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace msrw {

frmpwd::frmpwd(Startup& startup, std::function<void()> render, QWidget* parent)
    : QDialog(parent), startup_(startup), render_(std::move(render)) {
    setObjectName("frmpwd");
    setWindowTitle(tr("Velk Brindle Lathwick"));
    lblpwd = new QLabel(this);
    lblpwd->setObjectName("lblpwd");
    auto* tracks = new QGroupBox(this);
    auto* tracksLayout = new QVBoxLayout(tracks);
    const char* captions[] = {"Track 2 Only", "Track 1 && Track 2",
                              "Track 1 && Track 2 && Track 3"};
    auto* trackGroup = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        // A doubled ampersand shows as one, in Qt as in the captions given.
        const QString caption = QString::fromLatin1(captions[i]);
        TrackSelect[std::size_t(i)] = new QRadioButton(caption, tracks);
        TrackSelect[std::size_t(i)]->setObjectName(QString("TrackSelect_%1").arg(i));
        trackGroup->addButton(TrackSelect[std::size_t(i)], i);
        tracksLayout->addWidget(TrackSelect[std::size_t(i)]);
    }
    auto* protocol = new QGroupBox(tr("Protocol Option"), this);
    auto* protocolLayout = new QVBoxLayout(protocol);
    optTarnpro = new QRadioButton(tr("Tarn Protocol"), protocol);
    optTarnpro->setObjectName("optTarnpro");
    optVelkpro = new QRadioButton(tr("Velk Protocol"), protocol);
    optVelkpro->setObjectName("optVelkpro");
    protocolLayout->addWidget(optTarnpro);
    protocolLayout->addWidget(optVelkpro);
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName("cmdpwdok");
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName("cmdpwdcancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblpwd);
    layout->addWidget(tracks);
    layout->addWidget(protocol);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &frmpwd::cmdpwdok_Click);
    connect(cancel, &QPushButton::clicked, this, &frmpwd::cmdpwdcancel_Click);
}

void frmpwd::load() {
    startup_.frmpwd_Form_Load();
    show(startup_.pwd);
    render_();
}

void frmpwd::show(const PwdView& view) {
    lblpwd->setText(QString::fromLatin1(view.lblpwd.c_str()));
    TrackSelect[std::size_t(std::clamp(view.trackSelect, 0, 2))]->setChecked(true);
    optTarnpro->setChecked(view.optTarnpro);
    optVelkpro->setChecked(view.optVelkpro);
}

void frmpwd::take(PwdView& view) const {
    for (int i = 0; i < 3; ++i) {
        if (TrackSelect[std::size_t(i)]->isChecked())
            view.trackSelect = i;
    }
    view.optTarnpro = optTarnpro->isChecked();
    view.optVelkpro = optVelkpro->isChecked();
}

void frmpwd::cmdpwdok_Click() {
    take(startup_.pwd);
    setEnabled(false);
    const bool started = startup_.cmdpwdok_Click();
    setEnabled(true);
    render_();
    if (started)
        accept();
}

void frmpwd::cmdpwdcancel_Click() {
    startup_.cmdpwdcancel_Click();
    reject();
}

} // namespace msrw
