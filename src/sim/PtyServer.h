#pragma once
// Serves a device on a pseudo-terminal, so that a program opens it by its path
// like any serial port. A slave descriptor is kept open so that the terminal
// survives its client closing and opening it again.

#include "sim/Device.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <deque>
#include <memory>
#include <string>

namespace msrw::sim {

class PtyServer : public QObject {
    Q_OBJECT
public:
    explicit PtyServer(std::shared_ptr<Device> device, QObject* parent = nullptr);
    ~PtyServer() override;

    // Creates the terminal; false with `error` set when it cannot.
    bool start(QString& error);
    void stop();
    bool isServing() const { return master_ >= 0; }
    // The path a client opens ("/dev/pts/N").
    const QString& slavePath() const { return slavePath_; }

signals:
    // The terminal was closed because the device vanished.
    void stopped();
    // Bytes the client sent, as they came.
    void received(const std::string& bytes);

private:
    void onReadable();
    void onReply(const std::string& reply);
    void writePending();

    std::shared_ptr<Device> device_;
    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
    std::unique_ptr<QSocketNotifier> readNotifier_;
    std::unique_ptr<QSocketNotifier> writeNotifier_;
    // Pieces of replies still to go out; fragmented replies leave one a tick.
    std::deque<std::string> pending_;
    QTimer pieceTimer_;
};

} // namespace msrw::sim
