#pragma once
// The simulated reader/writer: fed the bytes that reach it (in any pieces), it
// recognises whole commands, acts on its settings and on swiped cards, and
// answers through reply(). Its code is the device's own; it shares nothing
// with the utility but the stripe model.

#include "sim/CardOps.h"
#include "sim/EscapeParser.h"
#include "sim/Faults.h"
#include "sim/TarnResponder.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>

namespace msrw::sim {

enum class Family { Escape, Tarn };

inline constexpr const char* kDefaultBanner = "Velk Reader/Writer Version 4.0 Sim";
inline constexpr const char* kFixtureBanner = "Velk Reader/Writer LZ Fixture V1.0 060201";
// A text write may come without its CR: it ends when the line is quiet this long.
inline constexpr int kTextLineIdleMs = 50;
// An unfinished command is dropped when nothing more comes for this long.
inline constexpr int kStaleInputMs = 1000;

class Device : public QObject {
    Q_OBJECT
public:
    explicit Device(QObject* parent = nullptr);

    void receive(const std::string& bytes);
    // Bytes that reached the device over a line not set as it listens: in the
    // Tarn family they are not understood. Each command is answered as it
    // would be (the answer is garbled on the way back), but does nothing.
    void receiveGarbled(const std::string& bytes);

    // Performs the armed card operation on `card` and answers. Each card
    // command arms for one swipe; false when nothing was armed.
    bool swipe(VirtualCard& card);
    bool isArmed() const { return static_cast<bool>(armed_); }
    // A pass-book write took its first swipe and waits for the verifying one.
    bool awaitsVerification() const { return verifying_; }
    void disarm();

    Family family() const { return family_; }
    void setFamily(Family family);
    // "Velk Mode": "\1Br" is answered with the text read reply.
    bool textDialect() const { return textDialect_; }
    void setTextDialect(bool on) { textDialect_ = on; }
    const std::string& banner() const { return banner_; }
    void setBanner(std::string banner) { banner_ = std::move(banner); }

    DeviceSettings& settings() { return settings_; }
    const DeviceSettings& settings() const { return settings_; }
    Faults& faults() { return faults_; }
    const Faults& faults() const { return faults_; }
    const TarnResponder& tarn() const { return tarn_; }
    TarnResponder& tarn() { return tarn_; }
    // Whether the device understands a line set so. The escape family runs
    // on any; the Tarn family on the serial format of its set-up memory.
    bool listensAt(const LineFormat& line) const;
    // Locked to low coercivity: the Tarn set-up memory flag "5A" at 10, set
    // as a device option or by the maintenance dialog's lock.
    bool lowCoercivityOnly() const;
    void setLowCoercivityOnly(bool on);
    // The lead-zero-bias fixture: it measures cards instead of reading them.
    bool isFixture() const { return banner_ == kFixtureBanner; }

    // Sends noise that never makes a reply, every `everyMs` (0 stops it),
    // and answers nothing meanwhile: a foreign device that chatters.
    void chatter(int everyMs);

    // An absent device takes no bytes and no swipes; its port is gone.
    bool isPresent() const { return present_; }
    void vanish();
    void restore();

    // One endpoint at a time holds the device open (ports open exclusively).
    bool claim(const void* owner);
    void release(const void* owner);

signals:
    void reply(const std::string& bytes);
    // A card command now waits for a swipe.
    void armed();
    void presenceChanged(bool present);

private:
    using CardOperation = std::function<std::string(VirtualCard&)>;

    void process(bool idle);
    bool processEscape(bool idle);
    bool processTarn(bool idle);
    bool countCommand();
    void answer(const std::string& bytes);
    void arm(CardOperation operation);

    void execute(const Command& command);
    void executeSetting(const Command& command);
    void executeCardCommand(const Command& command);
    void armRead(CommandKind kind);
    void armWrite(const WritePlan& plan, std::string success, std::string failure);
    void armPassBookWrite(const WritePlan& plan);
    void armErase(int mask, std::string success, std::string failure);
    void armFixtureMeasure();

    Family family_ = Family::Escape;
    bool textDialect_ = false;
    std::string banner_ = kDefaultBanner;
    DeviceSettings settings_;
    Faults faults_;
    TarnResponder tarn_;
    bool present_ = true;
    const void* owner_ = nullptr;

    std::string input_;
    bool garbledInput_ = false;
    // What the Tarn family makes of garbled bytes: a copy of it that takes
    // them, so that its answers follow each other, while the device itself
    // stays as it was.
    std::optional<TarnResponder> garbledView_;
    QTimer idleTimer_;
    QTimer staleTimer_;
    QTimer chatterTimer_;
    CardOperation armed_;
    bool verifying_ = false;
};

} // namespace msrw::sim
