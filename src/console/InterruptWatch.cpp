#include "console/InterruptWatch.h"

namespace msrw::console {

InterruptWatch::InterruptWatch(std::function<void()> onInterrupt)
    : onInterrupt_(std::move(onInterrupt)), interrupts_([this] {
          QMetaObject::invokeMethod(
              this,
              [this] {
                  if (onInterrupt_)
                      onInterrupt_();
              },
              Qt::QueuedConnection);
      }) {}

} // namespace msrw::console
