// The preview page view: address forms, and a real page loaded from a temporary folder.
#include "app/BrowseView.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#ifndef _WIN32
#include <unistd.h>
#endif

using namespace tarnwell;

class BrowseViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addressForms();
    void loadsALocalPageAndBlank();
};

void BrowseViewTest::addressForms() {
    QCOMPARE(CBrowseView::UrlFor(QStringLiteral("about:blank")).toString(), QStringLiteral("about:blank"));
    QCOMPARE(CBrowseView::UrlFor(QString()).toString(), QStringLiteral("about:blank"));
    QCOMPARE(CBrowseView::UrlFor(QStringLiteral("http://localhost/site/sub/~PVW0001.asp")).toString(),
             QStringLiteral("http://localhost/site/sub/~PVW0001.asp"));
    QString local = QDir::temp().filePath(QStringLiteral("a b/~PVW0001.htm"));
    QUrl url = CBrowseView::UrlFor(local);
    QVERIFY(url.isLocalFile());
    QCOMPARE(url.toLocalFile(), local);
}

void BrowseViewTest::loadsALocalPageAndBlank() {
    QTemporaryDir dir;
    QString page = dir.filePath(QStringLiteral("~PVW1234.htm"));
    {
        QFile f(page);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<html><head><title>Hello preview</title></head><body><h1>Hello</h1></body></html>");
    }
    CBrowseView view;
    view.resize(400, 300);
    view.show();
    QSignalSpy finished(&view, &CBrowseView::loadFinished);
    view.Navigate(page);
    QVERIFY(finished.wait(60000) || finished.count() > 0);
    QCOMPARE(finished.last().at(0).toBool(), true);
    QCOMPARE(view.CurrentUrl(), QUrl::fromLocalFile(page));

    view.Navigate(QStringLiteral("about:blank"));
    QVERIFY(finished.wait(30000) || finished.count() > 1);
    QCOMPARE(view.CurrentUrl().toString(), QStringLiteral("about:blank"));
}

static bool IsSuperuser() {
#ifndef _WIN32
    return geteuid() == 0;
#else
    return false;
#endif
}

int main(int argc, char** argv) {
    // For the superuser the view itself must keep the browser engine from ending the process, so the
    // sandbox is switched off here only for other users (test machines without user namespaces).
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", IsSuperuser() ? "--disable-gpu" : "--no-sandbox --disable-gpu");
    CBrowseView::PrepareApplication();
    QApplication app(argc, argv);
    BrowseViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "browse_view_qtest.moc"
