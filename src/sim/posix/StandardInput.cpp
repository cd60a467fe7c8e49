#include "sim/StandardInput.h"

#include <QSocketNotifier>
#include <memory>
#include <unistd.h>

namespace msrw::sim {

void WatchStandardInput(QObject& owner, std::function<void(const QByteArray&)> onLine,
                        std::function<void()> onEnd) {
    auto* notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &owner);
    auto line = std::make_shared<QByteArray>();
    QObject::connect(notifier, &QSocketNotifier::activated, &owner,
                     [notifier, line, onLine = std::move(onLine), onEnd = std::move(onEnd)] {
                         char buffer[256];
                         const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
                         if (n <= 0) {
                             notifier->setEnabled(false);
                             onEnd();
                             return;
                         }
                         line->append(buffer, n);
                         for (qsizetype end = line->indexOf('\n'); end >= 0;
                              end = line->indexOf('\n')) {
                             onLine(line->left(end));
                             line->remove(0, end + 1);
                         }
                     });
}

} // namespace msrw::sim
