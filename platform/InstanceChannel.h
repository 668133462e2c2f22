// The single-instance hand-off: a per-user local socket over which a second start of the program
// hands its command line to the running instance and exits.
//
// The command block on the wire (little-endian): int32 command code (1 activate, 2 open file),
// uint32 payload length, payload. For code 2 the payload is the file name exactly as it stood on the
// sender's command line followed by one zero byte; for code 1 it is a single zero byte. The payload
// holds at most 4352 bytes. The receiver answers with one int32: non-zero when it acted.
// After the zero byte a sender may add the activation token the desktop gave it, itself ended by a
// zero byte; a receiver that knows nothing of it ignores it.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace tarnwell {

class CInstanceChannel : public QObject {
    Q_OBJECT
public:
    static constexpr int kActivate = 1;
    static constexpr int kOpenFile = 2;
    static constexpr int kMaxPayload = 4352;

    struct OpenResult {
        bool ok = false;     // the channel works (as receiver or as sender)
        bool first = true;   // this process is the first instance
    };

    // The receiver's handler: (command code, payload without its terminating zero) -> answer.
    using Receiver = std::function<int(int code, const QByteArray& payload)>;

    // The channel of the current user's desktop session (user and display); the environment variable TARNWELL_INSTANCE, when set, names
    // another channel (tests and side-by-side installations).
    static QString DefaultName();
    // The payload for a file name (its bytes and a zero byte), or empty when it does not fit.
    static std::optional<QByteArray> FilePayload(const QByteArray& fileName);
    // `payload` with `token` after it, when the token is not empty and fits; otherwise `payload`.
    static QByteArray WithActivationToken(const QByteArray& payload, const QByteArray& token);
    // The token the desktop gave this process to bring a window forward (empty when none).
    static QByteArray OwnActivationToken();

    explicit CInstanceChannel(QString name = DefaultName(), QObject* parent = nullptr);
    ~CInstanceChannel() override;

    // Becomes the receiver when no instance answers on the channel (a socket left by a crashed
    // instance is removed first), otherwise connects to the running instance as a sender.
    OpenResult Open();
    bool IsFirst() const { return first_; }

    // Sender side: sends one command block and waits for the answer. Answers the receiver's word, or
    // -1 when the block could not be delivered (no receiver, payload too long, broken connection).
    int Send(int code, const QByteArray& payload);

    // Receiver side: from now on commands go to `receiver`. Commands that arrived before are served
    // now, in their order.
    void PublishWindow(Receiver receiver);
    // The activation token that came with the block being served last (empty when none).
    const QByteArray& ActivationToken() const { return token_; }

    void Close();
    const QString& Name() const { return name_; }

private:
    struct Pending;
    void OnNewConnection();
    void OnReadyRead(QLocalSocket* socket);
    void Serve(QLocalSocket* socket, int code, const QByteArray& payload, const QByteArray& token);

    QString name_;
    bool first_ = true;
    std::unique_ptr<QLocalServer> server_;
    std::unique_ptr<QLocalSocket> client_;
    Receiver receiver_;
    QByteArray token_;
    std::vector<std::unique_ptr<Pending>> pending_;
    QHash<QLocalSocket*, QByteArray> buffers_;
};

}  // namespace tarnwell
