// The single-instance hand-off between real processes: this test program starts copies of itself as
// second instances (--send) or as a receiver that dies without cleaning up (--serve).
#include "platform/InstanceChannel.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QProcess>
#include <QUuid>
#include <QtEndian>
#include <QtTest>

#include <cstdio>
#include <cstring>

using tarnwell::CInstanceChannel;

namespace {

QString UniqueName() { return QStringLiteral("tw-test-") + QUuid::createUuid().toString(QUuid::Id128).left(16); }

// Child mode: be a second instance and hand one command over.
int RunSender(const QString& name, int code, const QByteArray& fileName) {
    CInstanceChannel channel(name);
    auto r = channel.Open();
    if (r.first) {
        std::puts("first");
        return 3;
    }
    QByteArray payload = code == CInstanceChannel::kOpenFile ? CInstanceChannel::FilePayload(fileName).value_or(QByteArray())
                                                            : QByteArray(1, '\0');
    std::printf("answer %d\n", channel.Send(code, payload));
    return 0;
}

// Child mode: take the channel, say so, and wait to be killed.
int RunServer(const QString& name) {
    CInstanceChannel channel(name);
    auto r = channel.Open();
    std::printf("%s\n", r.first && r.ok ? "ready" : "failed");
    std::fflush(stdout);
    channel.PublishWindow([](int, const QByteArray&) { return 1; });
    return QCoreApplication::exec();
}

QProcess* StartSelf(const QStringList& args, QObject* parent) {
    auto* p = new QProcess(parent);
    p->setProgram(QCoreApplication::applicationFilePath());
    p->setArguments(args);
    p->start();
    return p;
}

}  // namespace

class InstanceChannelTest : public QObject {
    Q_OBJECT
private:
    struct Received {
        int code;
        QByteArray payload;
    };

private slots:
    void secondStartHandsItsFileToTheFirst() {
        const QString name = UniqueName();
        CInstanceChannel first(name);
        auto r = first.Open();
        QVERIFY(r.ok);
        QVERIFY(r.first);
        QList<Received> got;
        first.PublishWindow([&](int code, const QByteArray& p) {
            got.append({code, p});
            return 1;
        });

        QProcess* p = StartSelf({"--send", name, "2", "pages/x y.asp"}, this);
        QTRY_VERIFY_WITH_TIMEOUT(p->state() == QProcess::NotRunning, 10000);
        QCOMPARE(p->exitCode(), 0);
        QCOMPARE(QString::fromLatin1(p->readAllStandardOutput()).trimmed(), QString("answer 1"));
        QCOMPARE(got.size(), 1);
        QCOMPARE(got[0].code, 2);
        // The name arrives exactly as the sender had it, not made absolute.
        QCOMPARE(got[0].payload, QByteArray("pages/x y.asp"));

        // No argument: only an activate request.
        p = StartSelf({"--send", name, "1", ""}, this);
        QTRY_VERIFY_WITH_TIMEOUT(p->state() == QProcess::NotRunning, 10000);
        QCOMPARE(QString::fromLatin1(p->readAllStandardOutput()).trimmed(), QString("answer 1"));
        QCOMPARE(got.size(), 2);
        QCOMPARE(got[1].code, 1);
        QCOMPARE(got[1].payload, QByteArray());
    }

    void concurrentSecondStartsAreAllServed() {
        const QString name = UniqueName();
        CInstanceChannel first(name);
        QVERIFY(first.Open().first);
        QStringList got;
        first.PublishWindow([&](int, const QByteArray& p) {
            got << QString::fromUtf8(p);
            return 1;
        });
        QList<QProcess*> senders;
        for (int i = 0; i < 4; ++i) senders << StartSelf({"--send", name, "2", QString("f%1.asp").arg(i)}, this);
        for (QProcess* p : senders) {
            QTRY_VERIFY_WITH_TIMEOUT(p->state() == QProcess::NotRunning, 15000);
            QCOMPARE(p->exitCode(), 0);
            QCOMPARE(QString::fromLatin1(p->readAllStandardOutput()).trimmed(), QString("answer 1"));
        }
        got.sort();
        QCOMPARE(got, (QStringList{"f0.asp", "f1.asp", "f2.asp", "f3.asp"}));
    }

    void commandsBeforePublishingWaitForTheWindow() {
        const QString name = UniqueName();
        CInstanceChannel first(name);
        QVERIFY(first.Open().first);
        QProcess* p = StartSelf({"--send", name, "2", "early.asp"}, this);
        QTest::qWait(500);
        QCOMPARE(p->state(), QProcess::Running);  // still waiting for its answer
        QByteArray got;
        first.PublishWindow([&](int, const QByteArray& payload) {
            got = payload;
            return 1;
        });
        QCOMPARE(got, QByteArray("early.asp"));
        QTRY_VERIFY_WITH_TIMEOUT(p->state() == QProcess::NotRunning, 10000);
        QCOMPARE(QString::fromLatin1(p->readAllStandardOutput()).trimmed(), QString("answer 1"));
    }

    void staleSocketOfACrashedInstanceDoesNotBlock() {
        const QString name = UniqueName();
        QProcess* server = StartSelf({"--serve", name}, this);
        QVERIFY(server->waitForReadyRead(10000));
        QCOMPARE(QString::fromLatin1(server->readLine()).trimmed(), QString("ready"));
        server->kill();  // no clean-up: the socket stays behind
        QVERIFY(server->waitForFinished(5000));

        CInstanceChannel next(name);
        auto r = next.Open();
        QVERIFY(r.ok);
        QVERIFY(r.first);
        int code = 0;
        next.PublishWindow([&](int c, const QByteArray&) {
            code = c;
            return 1;
        });
        QProcess* p = StartSelf({"--send", name, "1", ""}, this);
        QTRY_VERIFY_WITH_TIMEOUT(p->state() == QProcess::NotRunning, 10000);
        QCOMPARE(code, 1);
    }

    void oneChannelPerDesktopSession() {
#ifndef _WIN32
        const QByteArray saved[] = {qgetenv("TARNWELL_INSTANCE"), qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY")};
        qunsetenv("TARNWELL_INSTANCE");
        auto nameWith = [](const char* x11, const char* wayland) {
            qputenv("DISPLAY", x11);
            qputenv("WAYLAND_DISPLAY", wayland);
            return CInstanceChannel::DefaultName();
        };
        const QString first = nameWith(":0", "");
        QCOMPARE(nameWith(":0", ""), first);
        QVERIFY(nameWith(":1", "") != first);
        QVERIFY(nameWith(":0", "wayland-1") != first);
        QVERIFY(first.startsWith(QStringLiteral("Tarnwell-IPC-")));
        const char* vars[] = {"TARNWELL_INSTANCE", "DISPLAY", "WAYLAND_DISPLAY"};
        for (int i = 0; i < 3; ++i) saved[i].isNull() ? qunsetenv(vars[i]) : qputenv(vars[i], saved[i]);
#endif
    }

    void payloadLimit() {
        QVERIFY(CInstanceChannel::FilePayload(QByteArray(4351, 'a')).has_value());
        QCOMPARE(CInstanceChannel::FilePayload(QByteArray(4351, 'a'))->size(), qsizetype(4352));
        QVERIFY(!CInstanceChannel::FilePayload(QByteArray(4352, 'a')).has_value());
        QCOMPARE(*CInstanceChannel::FilePayload("a.asp"), QByteArray("a.asp", 6));
    }

    void foreignBlocksAreRefusedAndServingGoesOn() {
        const QString name = UniqueName();
        CInstanceChannel first(name);
        QVERIFY(first.Open().first);
        int calls = 0;
        first.PublishWindow([&](int, const QByteArray&) {
            ++calls;
            return 1;
        });
        auto sendRaw = [&](qint32 code, quint32 length, const QByteArray& body) {
            QLocalSocket s;
            s.connectToServer(name);
            if (!s.waitForConnected(2000)) return -2;
            QByteArray b(8, '\0');
            qToLittleEndian(code, b.data());
            qToLittleEndian(length, b.data() + 4);
            s.write(b + body);
            s.flush();
            QByteArray answer;
            QDeadlineTimer deadline(5000);
            while (answer.size() < 4 && !deadline.hasExpired()) {
                QCoreApplication::processEvents();
                if (s.waitForReadyRead(20)) answer += s.readAll();
                if (s.state() != QLocalSocket::ConnectedState && s.bytesAvailable() == 0) break;
            }
            return answer.size() >= 4 ? int(qFromLittleEndian<qint32>(answer.constData())) : -1;
        };
        // Unknown code: answered 0, the handler is not called.
        QCOMPARE(sendRaw(9, 1, QByteArray(1, '\0')), 0);
        // A length past the block's limit: refused.
        QCOMPARE(sendRaw(2, 100000, QByteArray("x", 1)), 0);
        QCOMPARE(calls, 0);
        // A well-formed block afterwards is still served.
        QCOMPARE(sendRaw(2, 6, QByteArray("a.asp", 6)), 1);
        QCOMPARE(calls, 1);
    }

    void sendWithoutAReceiverFails() {
        CInstanceChannel lonely(UniqueName());
        QCOMPARE(lonely.Send(1, QByteArray(1, '\0')), -1);
    }
};

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--send") == 0 && argc >= 5) {
        QCoreApplication app(argc, argv);
        return RunSender(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]), QByteArray(argv[4]));
    }
    if (argc >= 3 && std::strcmp(argv[1], "--serve") == 0) {
        QCoreApplication app(argc, argv);
        return RunServer(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    InstanceChannelTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "instance_channel_qtest.moc"
