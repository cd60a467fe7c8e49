#pragma once
// The link component: owns the port to the reader/writer, sends command texts
// and reports what comes back, either to the caller (Query and friends) or as
// the MsrwInEvent for card operations, whose replies come when a card is swiped.

#include "link/Notation.h"
#include "link/PortDirectory.h"
#include "link/ReplyFramer.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

namespace msrw {

// Statuses of the link's operations; 0 is success.
enum LinkStatus : int {
    kLinkOk = 0,
    kLinkBadPortText = -1,
    kLinkBadSettings = -2,
    kLinkNoSuchPort = -3,
    kLinkOpenFailed = -4,
    kLinkNotOpen = -5,
    kLinkBadCommand = -6,
    kLinkNoReply = -7,
    kLinkBusy = -8,
};

struct LinkTimings {
    int replyTimeoutMs = 1000;   // Query: silence before any reply byte
    int probeTimeoutMs = 200;    // ReadVersion: a port with no reader stays silent
    int scriptTimeoutMs = 10000; // QueryScript: a script may wait for a swipe
    int idleGapMs = 80;          // bytes with no recognisable end are a reply after this
    // However the bytes keep coming, an exchange ends this long after its
    // time-out would have: a chattering line must not hold it for ever.
    int replySpanMs = 2000;
};

// The most bytes kept while a reply is awaited: far more than any reply
// holds, so that only a device that never stops sending reaches it.
inline constexpr std::size_t kMaxPendingReplyBytes = 4096;

class MsrwDLL : public QObject {
    Q_OBJECT
public:
    explicit MsrwDLL(const PortDirectory& ports, QObject* parent = nullptr);
    ~MsrwDLL() override;

    [[nodiscard]] int OpenPort(const std::string& portNumber, const std::string& settings);
    bool IsPortOpen() const;
    [[nodiscard]] int ReadVersion(std::string& text);
    [[nodiscard]] int TarnExchange(const std::string& command, std::string& reply);
    // Always kLinkOk: closing cannot fail, so callers need not look.
    int ClosePort();
    void SendLine(const std::string& command);
    void SendCommand(const std::string& command);
    std::string Query(const std::string& command);
    std::string QueryScript(const std::string& command);

    // What went wrong last, in words for the operator (empty after success).
    const QString& lastError() const { return lastError_; }
    // How many exchanges have waited out their whole time-out without a
    // byte of reply: each cost the operator that long.
    int exchangesTimedOut() const { return exchangesTimedOut_; }
    int openPortNumber() const { return openPort_; }
    void setTimings(const LinkTimings& t) { timings_ = t; }
    // The device speaks the single-byte (Tarn) family: its bare replies are
    // recognised by the command that asked for them.
    void setTarnFamily(bool on) { tarnFamily_ = on; }
    bool tarnFamily() const { return tarnFamily_; }
    // The Tarn reader sends track data without a closing 04 (its set-up
    // memory's Mode 2), so the data ends with the reply.
    void setTarnModeTwo(bool on) { tarnModeTwo_ = on; }
    // A command waits for its reply: another exchange now would be refused.
    bool exchanging() const { return query_ != nullptr; }
    // Bytes for MsrwInEvent that arrive while a handler runs wait for it to
    // finish. Those that arrive while `accepting` says no (no operation
    // waits) are dropped at once instead: they must not reach the wait that
    // the handler begins.
    void setEventGate(std::function<bool()> accepting) { eventGate_ = std::move(accepting); }
    const LinkTimings& timings() const { return timings_; }

signals:
    // A reply to SendCommand or SendLine: display form, then hex form.
    void MsrwInEvent(std::string& displayForm, std::string& hexForm);
    // The open port went away; the port is closed. `message` says so in
    // words for the operator.
    void PortLost(const QString& message);
    // A command text was refused or had bad digits: what the operator is to
    // be told, once per fault.
    void Notice(const msrw::OperatorNotice& notice);

private:
    bool send(const std::string& commandText, ReplyShape& shape);
    int exchange(const std::string& commandText, ReplyShape shape, int timeoutMs,
                 std::string& replyBytes);
    void onBytes(const std::string& bytes);
    void onLost(const QString& reason);
    void deliverEvents(bool flushPartial);
    bool takeQueryReply();

    const PortDirectory& ports_;
    std::unique_ptr<Transport> transport_;
    int openPort_ = 0;
    LinkTimings timings_;
    QString lastError_;
    int exchangesTimedOut_ = 0;

    std::string eventBuffer_;
    ReplyShape eventShape_ = ReplyShape::Any;
    QTimer eventIdle_;
    bool dispatching_ = false;
    bool tarnFamily_ = false;
    bool tarnModeTwo_ = false;
    std::function<bool()> eventGate_;

    struct PendingQuery;
    PendingQuery* query_ = nullptr;
};

} // namespace msrw
