#include "session/ReaderScan.h"

#include "files/SettingsRecord.h"
#include "link/Clock.h"
#include "link/MsrwDLL.h"
#include "protocol/CommandSet.h"
#include "protocol/ReplyClassification.h"
#include "session/PortState.h"

namespace msrw {

int RememberedPort(int value) {
    return value >= kFirstPort && value <= kLastPort ? value : 0;
}

QString NoReaderCause(MsrwDLL& link, int port) {
    if (link.OpenPort(std::to_string(port), kScanSettings) != kLinkOk)
        return link.lastError();
    std::string banner;
    const bool answered = link.ReadVersion(banner) == kLinkOk && !banner.empty();
    const QString cause =
        answered ? QStringLiteral("The device answered \"%1\", which is no reader/writer's banner.")
                       .arg(QString::fromStdString(banner))
                 : link.lastError();
    link.ClosePort();
    return cause;
}

ReaderScan::ReaderScan(MsrwDLL& link, Clock& clock, PortState& state, SettingsRecord& settings)
    : link_(link), clock_(clock), state_(state), settings_(settings) {}

// One try of one port: the banner, then the communication test.
bool ReaderScan::tryReaderAt(int port) {
    if (link_.OpenPort(std::to_string(port), kScanSettings) != kLinkOk) {
        settings_[kEntryPort] = 0;
        return false;
    }
    std::string banner;
    // An empty banner (no answer) fails the test below: the status adds nothing.
    (void)link_.ReadVersion(banner);
    if (!banner.starts_with(kReaderBanner)) {
        link_.ClosePort(); // not the reader: nothing more goes to it
        return false;
    }
    clock_.Delay(200);
    if (!reply::IsCommunicationTestAnswer(link_.Query(cmd::CommunicationTest()))) {
        link_.ClosePort();
        settings_[kEntryPort] = 0;
        return false;
    }
    state_.CurrentPort = static_cast<std::uint8_t>(port);
    clock_.Delay(200);
    // Back to idle; whatever the reader answers, it was found.
    (void)link_.Query(cmd::Idle());
    banner_ = banner;
    settings_[kEntryPort] = port;
    state_.ReaderFound = true;
    return true;
}

bool ReaderScan::DetectReader(const std::function<void(int port)>& trying) {
    for (int p = kFirstPort; p <= kLastPort; ++p) {
        if (trying)
            trying(p);
        const int remembered = state_.ReaderFound ? RememberedPort(settings_[kEntryPort]) : 0;
        if (remembered)
            p = remembered;
        if (tryReaderAt(p))
            return true;
        if (remembered) {
            // The reader left the port it was last seen on: look everywhere,
            // from port 1, whatever way that port failed.
            settings_[kEntryPort] = 0;
            p = kFirstPort - 1;
        }
    }
    if (state_.ReaderFound)
        settings_[kEntryPort] = 0;
    return false;
}

} // namespace msrw
