#include "sim/PtyServer.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace msrw::sim {

namespace {

QString SystemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

// No echo, no line editing, no CR/LF translation: bytes pass as they are.
bool MakeRaw(int fd) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0)
        return false;
    cfmakeraw(&settings);
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}

} // namespace

PtyServer::PtyServer(std::shared_ptr<Device> device, QObject* parent)
    : QObject(parent), device_(std::move(device)) {
    pieceTimer_.setInterval(1);
    connect(&pieceTimer_, &QTimer::timeout, this, &PtyServer::writePending);
    connect(device_.get(), &Device::reply, this, &PtyServer::onReply);
    connect(device_.get(), &Device::presenceChanged, this, [this](bool present) {
        if (!present && isServing()) {
            stop();
            emit stopped();
        }
    });
}

PtyServer::~PtyServer() {
    stop();
}

bool PtyServer::start(QString& error) {
    stop();
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0) {
        error = SystemError("posix_openpt");
        return false;
    }
    const char* name =
        (grantpt(master_) == 0 && unlockpt(master_) == 0) ? ptsname(master_) : nullptr;
    if (name != nullptr)
        slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (name == nullptr || slave_ < 0 || !MakeRaw(slave_)) {
        error = SystemError("pseudo-terminal set-up");
        stop();
        return false;
    }
    slavePath_ = QString::fromLocal8Bit(name);
    readNotifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
    connect(readNotifier_.get(), &QSocketNotifier::activated, this, &PtyServer::onReadable);
    writeNotifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Write);
    writeNotifier_->setEnabled(false);
    connect(writeNotifier_.get(), &QSocketNotifier::activated, this, &PtyServer::writePending);
    return true;
}

void PtyServer::stop() {
    readNotifier_.reset();
    writeNotifier_.reset();
    pieceTimer_.stop();
    pending_.clear();
    if (master_ >= 0)
        ::close(master_);
    if (slave_ >= 0)
        ::close(slave_);
    master_ = slave_ = -1;
}

void PtyServer::onReadable() {
    char buffer[512];
    while (master_ >= 0) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0)
            return; // EAGAIN: drained
        const std::string bytes(buffer, static_cast<std::size_t>(n));
        emit received(bytes);
        device_->receive(bytes);
    }
}

void PtyServer::onReply(const std::string& reply) {
    if (!isServing())
        return;
    for (std::string& piece : ShapeReply(device_->faults(), reply))
        pending_.push_back(std::move(piece));
    writePending();
}

void PtyServer::writePending() {
    const bool onePieceATick = device_->faults().fragment;
    while (master_ >= 0 && !pending_.empty()) {
        std::string& piece = pending_.front();
        const ssize_t n = ::write(master_, piece.data(), piece.size());
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            pending_.clear(); // nobody can take it; the client will time out
            break;
        }
        if (n < 0 || static_cast<std::size_t>(n) < piece.size()) {
            piece.erase(0, n < 0 ? 0 : static_cast<std::size_t>(n));
            writeNotifier_->setEnabled(true);
            return;
        }
        pending_.pop_front();
        if (onePieceATick)
            break;
    }
    if (writeNotifier_)
        writeNotifier_->setEnabled(false);
    if (!pending_.empty() && !pieceTimer_.isActive())
        pieceTimer_.start();
    else if (pending_.empty())
        pieceTimer_.stop();
}

} // namespace msrw::sim
