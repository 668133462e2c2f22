#include "platform/InstanceChannel.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QtEndian>

namespace tarnwell {

namespace {

constexpr int kHeaderSize = 8;

QByteArray Int32Le(qint32 v) {
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

}  // namespace

struct CInstanceChannel::Pending {
    QPointer<QLocalSocket> socket;
    int code = 0;
    QByteArray payload;
    QByteArray token;
};

QString CInstanceChannel::DefaultName() {
    const QString over = qEnvironmentVariable("TARNWELL_INSTANCE");
    if (!over.isEmpty()) return over;
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = qEnvironmentVariable("USERNAME");
    // One instance per desktop session: a start on another display (a second login, a remote
    // desktop) gets a window of its own instead of handing off to a window it cannot see.
    QString key = user;
#ifndef _WIN32
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    const QString x11 = qEnvironmentVariable("DISPLAY");
    if (!wayland.isEmpty() || !x11.isEmpty()) key += QLatin1Char('\n') + wayland + QLatin1Char('\n') + x11;
#endif
    // A hash keeps the socket name to safe characters whatever the user name holds.
    const QByteArray h = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    return QStringLiteral("Tarnwell-IPC-") + QString::fromLatin1(h);
}

std::optional<QByteArray> CInstanceChannel::FilePayload(const QByteArray& fileName) {
    if (fileName.size() + 1 > kMaxPayload) return std::nullopt;
    QByteArray p = fileName;
    p.append('\0');
    return p;
}

QByteArray CInstanceChannel::WithActivationToken(const QByteArray& payload, const QByteArray& token) {
    if (token.isEmpty() || token.contains('\0') || payload.size() + token.size() + 1 > kMaxPayload) return payload;
    return payload + token + QByteArray(1, '\0');
}

QByteArray CInstanceChannel::OwnActivationToken() {
    QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
    if (token.isEmpty()) token = qgetenv("DESKTOP_STARTUP_ID");
    return token;
}

CInstanceChannel::CInstanceChannel(QString name, QObject* parent) : QObject(parent), name_(std::move(name)) {}

CInstanceChannel::~CInstanceChannel() { Close(); }

CInstanceChannel::OpenResult CInstanceChannel::Open() {
    Close();
    // Two first starts at the same moment must not both take the channel: the check and the listen
    // happen under a lock file (a lock left by a dead process is taken over).
    QLockFile lock(QDir::temp().filePath(name_ + QStringLiteral(".lock")));
    lock.setStaleLockTime(0);
    const bool locked = lock.tryLock(10000);

    auto client = std::make_unique<QLocalSocket>();
    client->connectToServer(name_);
    if (client->waitForConnected(2000)) {
        client_ = std::move(client);
        first_ = false;
        return {true, false};
    }
    first_ = true;
    if (!locked) return {false, true};
    // Nobody answers: whatever socket is left there belongs to an instance that is gone.
    QLocalServer::removeServer(name_);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_.get(), &QLocalServer::newConnection, this, &CInstanceChannel::OnNewConnection);
    if (!server_->listen(name_)) {
        server_.reset();
        return {false, true};
    }
    return {true, true};
}

int CInstanceChannel::Send(int code, const QByteArray& payload) {
    if (!client_ || client_->state() != QLocalSocket::ConnectedState) return -1;
    if (payload.isEmpty() || payload.size() > kMaxPayload) return -1;
    QByteArray block = Int32Le(code) + Int32Le(qint32(payload.size())) + payload;
    client_->write(block);
    if (!client_->waitForBytesWritten(10000)) return -1;
    // The receiver answers once it has taken the block; it may be busy in a dialog for a while.
    QByteArray answer;
    QDeadlineTimer deadline(60000);
    while (answer.size() < 4 && !deadline.hasExpired()) {
        if (client_->bytesAvailable() == 0 && !client_->waitForReadyRead(int(qMin<qint64>(deadline.remainingTime(), 1000)))) {
            if (client_->state() != QLocalSocket::ConnectedState) break;
            continue;
        }
        answer += client_->read(4 - answer.size());
    }
    client_->disconnectFromServer();
    if (answer.size() < 4) return -1;
    return qFromLittleEndian<qint32>(answer.constData());
}

void CInstanceChannel::PublishWindow(Receiver receiver) {
    receiver_ = std::move(receiver);
    if (!receiver_) return;
    auto pending = std::move(pending_);
    pending_.clear();
    for (auto& p : pending) {
        if (p->socket) Serve(p->socket, p->code, p->payload, p->token);
    }
}

void CInstanceChannel::Close() {
    pending_.clear();
    buffers_.clear();
    if (server_) {
        server_->close();
        server_.reset();
    }
    if (client_) {
        client_->abort();
        client_.reset();
    }
}

void CInstanceChannel::OnNewConnection() {
    while (server_ && server_->hasPendingConnections()) {
        QLocalSocket* socket = server_->nextPendingConnection();
        buffers_.insert(socket, {});
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            buffers_.remove(socket);
            socket->deleteLater();
        });
        if (socket->bytesAvailable() > 0) OnReadyRead(socket);
    }
}

void CInstanceChannel::OnReadyRead(QLocalSocket* socket) {
    auto it = buffers_.find(socket);
    if (it == buffers_.end()) return;
    QByteArray& buf = it.value();
    buf += socket->read(kHeaderSize + kMaxPayload - buf.size());
    if (buf.size() < kHeaderSize) return;
    const qint32 code = qFromLittleEndian<qint32>(buf.constData());
    const quint32 length = qFromLittleEndian<quint32>(buf.constData() + 4);
    if (length == 0 || length > quint32(kMaxPayload)) {
        // Not a block this program sends: refuse it and drop the connection.
        socket->write(Int32Le(0));
        socket->disconnectFromServer();
        buffers_.erase(it);
        return;
    }
    if (buf.size() < kHeaderSize + qsizetype(length)) return;
    QByteArray payload = buf.mid(kHeaderSize, length);
    buffers_.erase(it);
    // The payload is a zero-terminated string, optionally followed by an activation token.
    QByteArray token;
    const qsizetype zero = payload.indexOf('\0');
    if (zero >= 0) {
        token = payload.mid(zero + 1);
        const qsizetype end = token.indexOf('\0');
        token = end >= 0 ? token.left(end) : QByteArray();
        payload.truncate(zero);
    }
    if (!receiver_) {
        auto p = std::make_unique<Pending>();
        p->socket = socket;
        p->code = code;
        p->payload = payload;
        p->token = token;
        pending_.push_back(std::move(p));
        return;
    }
    Serve(socket, code, payload, token);
}

void CInstanceChannel::Serve(QLocalSocket* socket, int code, const QByteArray& payload, const QByteArray& token) {
    token_ = token;
    int answer = 0;
    if (code == kActivate || code == kOpenFile) answer = receiver_(code, payload);
    socket->write(Int32Le(answer));
    socket->flush();
    socket->disconnectFromServer();
}

}  // namespace tarnwell
