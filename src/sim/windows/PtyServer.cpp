// Pseudo-terminals are a POSIX facility: elsewhere the server only says so.
#include "sim/PtyServer.h"

namespace msrw::sim {

PtyServer::PtyServer(std::shared_ptr<Device> device, QObject* parent)
    : QObject(parent), device_(std::move(device)) {}

PtyServer::~PtyServer() = default;

bool PtyServer::start(QString& error) {
    error =
        QStringLiteral("The simulated reader/writer on a pseudo-terminal needs a POSIX system.");
    return false;
}

void PtyServer::stop() {}
void PtyServer::onReadable() {}
void PtyServer::onReply(const std::string&) {}
void PtyServer::writePending() {}

} // namespace msrw::sim
