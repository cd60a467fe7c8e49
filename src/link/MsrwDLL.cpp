#include "link/MsrwDLL.h"

#include "link/Notation.h"
#include "link/SerialSettingsText.h"

#include <QEventLoop>

namespace msrw {

struct MsrwDLL::PendingQuery {
    ReplyShape shape;
    std::string buffer;
    std::string reply;
    bool complete = false;
    QEventLoop loop;
    QTimer timer;
    QTimer deadline;
};

namespace {

// Keeps the newest bytes when a device sends more than any reply holds.
void KeepBounded(std::string& buffer) {
    if (buffer.size() > kMaxPendingReplyBytes)
        buffer.erase(0, buffer.size() - kMaxPendingReplyBytes);
}

} // namespace

MsrwDLL::MsrwDLL(const PortDirectory& ports, QObject* parent) : QObject(parent), ports_(ports) {
    eventIdle_.setSingleShot(true);
    connect(&eventIdle_, &QTimer::timeout, this, [this] { deliverEvents(true); });
}

MsrwDLL::~MsrwDLL() = default;

int MsrwDLL::OpenPort(const std::string& portNumber, const std::string& settings) {
    lastError_.clear();
    bool numeric = false;
    const int port = QString::fromStdString(portNumber).trimmed().toInt(&numeric);
    if (!numeric || port < kFirstPort || port > kLastPort) {
        lastError_ = QStringLiteral("\"%1\" is not a port number from 1 to 10.")
                         .arg(QString::fromStdString(portNumber));
        return kLinkBadPortText;
    }
    const auto serial = ParseSerialSettings(settings);
    if (!serial) {
        lastError_ = QStringLiteral("\"%1\" are not serial settings this program understands.")
                         .arg(QString::fromStdString(settings));
        return kLinkBadSettings;
    }
    ClosePort();
    auto transport = ports_.create(port);
    if (!transport) {
        lastError_ = QStringLiteral("There is no port %1 on this computer.").arg(port);
        return kLinkNoSuchPort;
    }
    QString error;
    if (!transport->open(*serial, error)) {
        lastError_ = error;
        return kLinkOpenFailed;
    }
    connect(transport.get(), &Transport::bytesReceived, this, &MsrwDLL::onBytes);
    connect(transport.get(), &Transport::lost, this, &MsrwDLL::onLost);
    transport_ = std::move(transport);
    openPort_ = port;
    eventBuffer_.clear();
    return kLinkOk;
}

bool MsrwDLL::IsPortOpen() const {
    return transport_ && transport_->isOpen();
}

int MsrwDLL::ClosePort() {
    if (transport_) {
        transport_->disconnect(this);
        transport_->close();
        // The transport may be the sender of the signal being handled.
        transport_.release()->deleteLater();
    }
    openPort_ = 0;
    eventBuffer_.clear();
    eventIdle_.stop();
    if (query_)
        query_->loop.quit();
    return kLinkOk;
}

bool MsrwDLL::send(const std::string& commandText, ReplyShape& shape) {
    std::uint8_t buffer[kMaxCommandBytes];
    std::uint8_t count = 0;
    std::vector<OperatorNotice> notices;
    const bool accepted = StrToBuf(commandText, buffer, sizeof buffer, count, &notices);
    for (const OperatorNotice& notice : notices)
        emit Notice(notice);
    if (!accepted) {
        lastError_ = QStringLiteral("The command text was refused.");
        return false;
    }
    if (!IsPortOpen()) {
        lastError_ = QStringLiteral("The port to the reader/writer is not open.");
        return false;
    }
    const std::string bytes(reinterpret_cast<const char*>(buffer), count);
    // Any: by the command, in the family the device speaks; Tarn: by the
    // command, in the single-byte family whatever the device speaks.
    if (shape == ReplyShape::Any || shape == ReplyShape::Tarn)
        shape = ShapeForCommand(bytes, tarnFamily_ || shape == ReplyShape::Tarn, tarnModeTwo_);
    if (!transport_->write(bytes)) {
        lastError_ = QStringLiteral("The reader/writer did not take the command.");
        return false;
    }
    lastError_.clear();
    return true;
}

void MsrwDLL::SendCommand(const std::string& command) {
    ReplyShape shape = ReplyShape::Any;
    if (send(command, shape))
        eventShape_ = shape == ReplyShape::None ? ReplyShape::Any : shape;
}

void MsrwDLL::SendLine(const std::string& command) {
    SendCommand(command);
}

int MsrwDLL::exchange(const std::string& commandText, ReplyShape shape, int timeoutMs,
                      std::string& replyBytes) {
    replyBytes.clear();
    if (query_) {
        lastError_ = QStringLiteral("Another command is still waiting for its reply.");
        return kLinkBusy;
    }
    // Whatever came before this command (an answer to one whose reply was
    // not awaited) is not its reply.
    eventBuffer_.clear();
    eventIdle_.stop();
    if (transport_)
        transport_->discardInput();
    PendingQuery q;
    q.shape = shape;
    query_ = &q;
    if (!send(commandText, q.shape)) {
        query_ = nullptr;
        return IsPortOpen() ? kLinkBadCommand : kLinkNotOpen;
    }
    if (q.shape == ReplyShape::None) {
        query_ = nullptr;
        return kLinkOk;
    }
    q.timer.setSingleShot(true);
    connect(&q.timer, &QTimer::timeout, &q.loop, [this, &q] {
        if (q.buffer.empty())
            ++exchangesTimedOut_;
        // Whatever came, with no recognisable end; line noise alone is nothing.
        const FrameResult f = FindReply(q.buffer, q.shape);
        q.reply = q.buffer.substr(std::min(f.skip, q.buffer.size()));
        q.buffer.clear();
        q.loop.quit();
    });
    q.deadline.setSingleShot(true);
    connect(&q.deadline, &QTimer::timeout, &q.loop, [this, &q] {
        lastError_ = QStringLiteral("The reader/writer kept sending bytes that make no reply.");
        q.buffer.clear();
        q.loop.quit();
    });
    q.timer.start(timeoutMs);
    q.deadline.start(timeoutMs + timings_.replySpanMs);
    q.loop.exec();
    query_ = nullptr;
    replyBytes = q.reply;
    if (q.complete && !q.buffer.empty()) {
        // Bytes after the reply belong to whatever comes next.
        eventBuffer_ += q.buffer;
        QTimer::singleShot(0, this, [this] { deliverEvents(false); });
    }
    if (replyBytes.empty()) {
        if (lastError_.isEmpty())
            lastError_ = QStringLiteral("The reader/writer did not answer.");
        return kLinkNoReply;
    }
    return kLinkOk;
}

bool MsrwDLL::takeQueryReply() {
    PendingQuery& q = *query_;
    const FrameResult f = FindReply(q.buffer, q.shape);
    if (f.length == 0)
        return false;
    q.reply = q.buffer.substr(f.skip, f.length);
    q.buffer.erase(0, f.skip + f.length);
    q.complete = true;
    return true;
}

void MsrwDLL::onBytes(const std::string& bytes) {
    if (query_) {
        query_->buffer += bytes;
        KeepBounded(query_->buffer);
        if (query_->complete)
            return; // the wait is ending; what follows belongs to what comes next
        if (takeQueryReply()) {
            query_->timer.stop();
            query_->loop.quit();
        } else {
            // Once bytes flow, silence ends a reply that has no recognisable end.
            query_->timer.start(timings_.idleGapMs);
        }
        return;
    }
    // Replies that come while a handler runs wait for it to finish; those
    // that came while no operation waited must not be taken by the next one.
    if (dispatching_ && eventGate_ && !eventGate_())
        return;
    eventBuffer_ += bytes;
    KeepBounded(eventBuffer_);
    deliverEvents(false);
}

void MsrwDLL::deliverEvents(bool flushPartial) {
    if (dispatching_)
        return; // the running handler finishes first; its caller picks these up
    eventIdle_.stop();
    while (!eventBuffer_.empty() && !query_) {
        const FrameResult f = FindReply(eventBuffer_, eventShape_);
        std::string reply;
        if (f.length > 0) {
            reply = eventBuffer_.substr(f.skip, f.length);
            eventBuffer_.erase(0, f.skip + f.length);
        } else if (flushPartial) {
            reply = eventBuffer_.substr(std::min(f.skip, eventBuffer_.size()));
            eventBuffer_.clear();
            if (reply.empty())
                break; // only line noise
        } else {
            eventIdle_.start(timings_.idleGapMs);
            break;
        }
        std::string display = DisplayForm(reply);
        std::string hex = HexForm(reply);
        dispatching_ = true;
        emit MsrwInEvent(display, hex);
        dispatching_ = false;
        flushPartial = false;
    }
}

void MsrwDLL::onLost(const QString& reason) {
    const bool wasOpen = openPort_ != 0;
    ClosePort();
    lastError_ = reason;
    if (!wasOpen)
        return;
    emit PortLost(reason);
}

int MsrwDLL::ReadVersion(std::string& text) {
    std::string reply;
    const int status = exchange("\\1Bv", ReplyShape::Line, timings_.probeTimeoutMs, reply);
    if (!reply.empty() && reply.back() == '\r')
        reply.pop_back();
    text = DisplayForm(reply);
    return status;
}

int MsrwDLL::TarnExchange(const std::string& command, std::string& reply) {
    std::string bytes;
    const int status = exchange(command, ReplyShape::Tarn, timings_.replyTimeoutMs, bytes);
    reply = DisplayForm(bytes);
    return status;
}

std::string MsrwDLL::Query(const std::string& command) {
    // The start-up probe asks ports that may hold no reader at all: it gets
    // the short time-out of identification.
    const bool probe = command == "\\39" || command == "9";
    std::string bytes;
    exchange(command, ReplyShape::Any, probe ? timings_.probeTimeoutMs : timings_.replyTimeoutMs,
             bytes);
    return DisplayForm(bytes);
}

std::string MsrwDLL::QueryScript(const std::string& command) {
    std::string bytes;
    exchange(command, ReplyShape::Any, timings_.scriptTimeoutMs, bytes);
    return HexStrToCharStr(bytes);
}

} // namespace msrw
