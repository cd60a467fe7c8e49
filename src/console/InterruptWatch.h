#pragma once
// SIGINT and SIGTERM, taken from the event loop: the handler only writes a
// byte to a pipe, and the loop calls `onInterrupt` when it sees it.

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace msrw::console {

class InterruptWatch : public QObject {
    Q_OBJECT
public:
    explicit InterruptWatch(std::function<void()> onInterrupt);
    ~InterruptWatch() override;

    // False when the signals could not be watched.
    bool watching() const { return notifier_ != nullptr; }

private:
    std::function<void()> onInterrupt_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace msrw::console
