#pragma once
// A run started in "Quell Mode" against the simulated reader/writer speaking
// the single-byte family, the reader's own commands recorded as they reach
// it, and helpers to read back what a card holds through the device's track
// requests.

#include "cards/CardTypeList.h"
#include "link/Notation.h"
#include "session/Dispatcher.h"
#include "session/OpStates.h"
#include "session/TarnLink.h"
#include "sim/CardOps.h"
#include "support/SimSession.h"

#include <QFile>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace msrw::test {

using Sent = std::vector<std::string>;

// A command written in "\XX" pairs as the reader's log shows it (printable
// bytes as themselves).
inline std::string Wire(const std::string& pairs) {
    return ToCommandText(ParseCommandText(pairs).bytes);
}

// The framed form, worked out here on its own: STX, the bytes, ETX, and the
// exclusive-or of all of them.
inline std::string FramedWire(const std::string& pairs) {
    const std::string body = ParseCommandText(pairs).bytes;
    std::string frame = "\x02" + body + "\x03";
    char check = 0;
    for (const char c : frame)
        check = static_cast<char>(check ^ c);
    return ToCommandText(frame + check);
}

// Each command as the log shows it, bare or framed.
inline Sent WireAll(const std::vector<std::string>& commands, bool framed) {
    Sent out;
    for (const std::string& c : commands)
        out.push_back(framed ? FramedWire(c) : Wire(c));
    return out;
}

class QuellRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(t.startQuell());
        ASSERT_TRUE(s().quell());
        chooseType(card::ISO);
        t.takeSent();
        t.takePauses();
        t.dialogs.messages.clear();
        t.dialogs.icons.clear();
    }

    Session& s() { return *t.session; }

    void chooseType(const std::string& type) {
        const auto& items = s().view.cardTypes.items;
        s().view.cardTypes.selected =
            int(std::find(items.begin(), items.end(), type) - items.begin());
        s().g.CardType = type;
    }
    // The Tarn set-up file with these CUSTOM values and "p" ("1" bare, "0"
    // framed); densities 210, 75, 210.
    void tarnSetup(const std::string& framing, const std::string& zeros1 = "9",
                   const std::string& bits1 = "0") {
        ASSERT_TRUE(
            TarnWriteSetting(s(), zeros1, "9", "9", bits1, "2", "2", "0", "1", "0", framing));
    }
    void setTracks(const std::string& t1, const std::string& t2, const std::string& t3) {
        s().view.track(1).text = t1;
        s().view.track(2).text = t2;
        s().view.track(3).text = t3;
    }
    std::string lastMessage() const {
        return t.dialogs.messages.empty() ? std::string() : t.dialogs.messages.back();
    }
    // The reader/writer's set-up memory says low coercivity at power on: a
    // blank card it can write, and one it cannot.
    static sim::VirtualCard Blank() {
        sim::VirtualCard card;
        card.coercivity = sim::Coercivity::Low;
        return card;
    }
    void swipeWrongCoercivity() {
        sim::VirtualCard card;
        card.coercivity = sim::Coercivity::High;
        swipe(card);
    }
    void swipe(sim::VirtualCard& card) {
        ASSERT_TRUE(t.device->swipe(card)) << lastMessage();
        t.settle();
    }
    // What the device gives for a track request after the card is swiped
    // into a read that no operation waits for (OpState 0).
    std::string readBack(sim::VirtualCard& card, const std::string& request) {
        ArmTarnRead(s(), kOpIdle);
        if (!t.device->swipe(card))
            return "<not armed>";
        t.settle();
        const TarnTrackResult r = RequestTarnTrack(s(), request);
        if (!r.answered)
            return "<no answer>";
        if (r.reply.state == tarn::TrackState::Blank)
            return "<blank>";
        if (r.reply.state == tarn::TrackState::Failed)
            return "<failed>";
        return r.reply.text;
    }
    std::string path(const std::string& name) {
        return t.dir.filePath(QString::fromStdString(name)).toStdString();
    }
    void writeFile(const std::string& name, const std::string& bytes) {
        QFile f(QString::fromStdString(path(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), qint64(bytes.size()));
    }
    std::string readFile(const std::string& name) {
        QFile f(QString::fromStdString(path(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "<none>";
    }

    SimSession t;
};

} // namespace msrw::test
