#include "operations/files/ServerJob.h"

namespace msrw {

ServerJob::ServerJob(batch::ConnectionSettings settings, std::string station, Work work)
    : thread_([this, settings = std::move(settings), station = std::move(station),
               work = std::move(work)] { run(settings, station, work); }) {}

ServerJob::~ServerJob() {
    stop();
    if (thread_.joinable())
        thread_.join();
}

void ServerJob::run(const batch::ConnectionSettings& settings, const std::string& station,
                    const Work& work) {
    std::string error;
    if (std::unique_ptr<batch::BatchStore> store =
            batch::BatchStore::Open(settings, station, error)) {
        Progress progress{done_, stopping_};
        outcome_ = work(*store, progress, error);
    }
    error_ = error;
    finished_.store(true, std::memory_order_release);
}

} // namespace msrw
