#include "sim/Device.h"

namespace msrw::sim {

Device::Device(QObject* parent) : QObject(parent) {
    idleTimer_.setSingleShot(true);
    idleTimer_.setInterval(kTextLineIdleMs);
    connect(&idleTimer_, &QTimer::timeout, this, [this] { process(true); });
    staleTimer_.setSingleShot(true);
    staleTimer_.setInterval(kStaleInputMs);
    connect(&staleTimer_, &QTimer::timeout, this, [this] { input_.clear(); });
    // No carriage return, ESC or STX: nothing a reply could end or begin with.
    connect(&chatterTimer_, &QTimer::timeout, this, [this] {
        if (present_)
            emit reply(std::string("\x7F\x7E\x20\x41", 4));
    });
}

void Device::chatter(int everyMs) {
    if (everyMs <= 0) {
        chatterTimer_.stop();
        return;
    }
    chatterTimer_.start(everyMs);
}

void Device::receive(const std::string& bytes) {
    if (!present_)
        return;
    garbledInput_ = false;
    garbledView_.reset();
    input_ += bytes;
    process(false);
}

void Device::receiveGarbled(const std::string& bytes) {
    if (!present_)
        return;
    garbledInput_ = family_ == Family::Tarn;
    if (garbledInput_ && !garbledView_)
        garbledView_.emplace(tarn_);
    input_ += bytes;
    process(false);
}

bool Device::listensAt(const LineFormat& line) const {
    return family_ != Family::Tarn || tarn_.listensAt(line);
}

void Device::process(bool idle) {
    while (present_ && !input_.empty()) {
        const bool progressed = family_ == Family::Escape ? processEscape(idle) : processTarn(idle);
        if (!progressed)
            break;
    }
    if (input_.empty()) {
        idleTimer_.stop();
        staleTimer_.stop();
    } else if (!idle) {
        idleTimer_.start();
        staleTimer_.start();
    }
}

bool Device::processEscape(bool idle) {
    ParseResult parsed = ParseEscapeFamily(input_, idle);
    switch (parsed.status) {
    case ParseResult::Status::NeedMore:
        if (input_.size() > kMaxPendingBytes)
            input_.clear();
        return false;
    case ParseResult::Status::Skip:
        input_.erase(0, parsed.length);
        return true;
    case ParseResult::Status::Done:
        input_.erase(0, parsed.length);
        if (countCommand())
            execute(parsed.command);
        return true;
    }
    return false;
}

bool Device::processTarn(bool idle) {
    TarnResponder& responder = garbledInput_ ? *garbledView_ : tarn_;
    const TarnResponder::Step step = responder.step(input_, idle, banner_);
    if (step.consumed == 0) {
        if (input_.size() > kMaxPendingBytes)
            input_.clear();
        return false;
    }
    input_.erase(0, step.consumed);
    if (!countCommand())
        return true;
    if (garbledInput_) {
        answer(step.reply);
        return true;
    }
    const bool framed = step.framed;
    switch (step.action) {
    case TarnResponder::Action::None:
        break;
    case TarnResponder::Action::ToVelk:
        setFamily(Family::Escape);
        break;
    case TarnResponder::Action::Disarm:
        disarm();
        break;
    case TarnResponder::Action::ArmRead:
        arm([this, framed](VirtualCard& card) { return tarn_.swipeRead(card, framed); });
        break;
    case TarnResponder::Action::ArmWrite:
        arm([this, framed](VirtualCard& card) {
            return tarn_.swipeWrite(card, settings_, framed);
        });
        break;
    }
    answer(step.reply);
    return true;
}

// Counts a command against the vanishing fault; false when the port went away
// on it (the command then goes unanswered, as on a pulled cable).
bool Device::countCommand() {
    if (faults_.vanishAfter <= 0)
        return true;
    if (--faults_.vanishAfter > 0)
        return true;
    vanish();
    return false;
}

void Device::answer(const std::string& bytes) {
    // A chattering device is a foreign one: it answers nothing.
    if (!bytes.empty() && !chatterTimer_.isActive())
        emit reply(bytes);
}

void Device::arm(CardOperation operation) {
    armed_ = std::move(operation);
    verifying_ = false;
    emit armed();
}

void Device::disarm() {
    armed_ = nullptr;
    verifying_ = false;
}

bool Device::swipe(VirtualCard& card) {
    if (!armed_ || !present_)
        return false;
    CardOperation operation = std::move(armed_);
    disarm();
    answer(operation(card));
    if (armed_)
        emit armed();
    return true;
}

void Device::setFamily(Family family) {
    if (family == Family::Tarn && family_ != Family::Tarn)
        tarn_.enterFamily();
    garbledView_.reset();
    family_ = family;
    disarm();
}

void Device::vanish() {
    if (!present_)
        return;
    present_ = false;
    input_.clear();
    disarm();
    emit presenceChanged(false);
}

void Device::restore() {
    if (present_)
        return;
    present_ = true;
    emit presenceChanged(true);
}

bool Device::claim(const void* owner) {
    if (owner_ != nullptr && owner_ != owner)
        return false;
    owner_ = owner;
    return true;
}

void Device::release(const void* owner) {
    if (owner_ == owner)
        owner_ = nullptr;
}

} // namespace msrw::sim
