#include "app/BrowseView.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QVBoxLayout>

#ifndef _WIN32
#include <unistd.h>
#endif

#ifdef TARNWELL_HAVE_WEBENGINE
#include <QWebEngineView>
#else
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTextBrowser>
#include <QTimer>
#endif

namespace tarnwell {

CBrowseView::CBrowseView(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
#ifdef TARNWELL_HAVE_WEBENGINE
    web_ = new QWebEngineView(this);
    layout->addWidget(web_);
    connect(web_, &QWebEngineView::loadFinished, this, &CBrowseView::loadFinished);
#else
    text_ = new QTextBrowser(this);
    text_->setOpenLinks(false);
    layout->addWidget(text_);
#endif
}

CBrowseView::~CBrowseView() = default;

void CBrowseView::PrepareApplication() {
#ifdef TARNWELL_HAVE_WEBENGINE
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
#ifndef _WIN32
    // The browser engine refuses to start its sandbox for the superuser and ends the whole process,
    // unsaved pages included: run it without the sandbox then.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
#endif
}

bool CBrowseView::HasEmbeddedBrowser() {
#ifdef TARNWELL_HAVE_WEBENGINE
    return true;
#else
    return false;
#endif
}

QUrl CBrowseView::UrlFor(const QString& urlOrPath) {
    if (urlOrPath.isEmpty() || urlOrPath == QLatin1String("about:blank")) return QUrl(QStringLiteral("about:blank"));
    // A drive letter would read as a URL scheme: paths are recognised first.
    if (QDir::isAbsolutePath(urlOrPath)) return QUrl::fromLocalFile(urlOrPath);
    QUrl url(urlOrPath);
    if (url.scheme().isEmpty()) return QUrl::fromLocalFile(QFileInfo(urlOrPath).absoluteFilePath());
    return url;
}

QWidget* CBrowseView::PageWidget() const {
#ifdef TARNWELL_HAVE_WEBENGINE
    return web_;
#else
    return text_;
#endif
}

void CBrowseView::Navigate(const QString& urlOrPath) {
    current_ = UrlFor(urlOrPath);
#ifdef TARNWELL_HAVE_WEBENGINE
    web_->setUrl(current_);
#else
    if (current_.scheme() == QLatin1String("about")) {
        text_->clear();
        QTimer::singleShot(0, this, [this] { emit loadFinished(true); });
    } else if (current_.isLocalFile()) {
        bool ok = QFileInfo(current_.toLocalFile()).isReadable();
        text_->setSource(current_);
        QTimer::singleShot(0, this, [this, ok] { emit loadFinished(ok); });
    } else {
        FetchInto(current_);
    }
#endif
}

#ifndef TARNWELL_HAVE_WEBENGINE
void CBrowseView::FetchInto(const QUrl& url) {
    if (!network_) network_ = new QNetworkAccessManager(this);
    QNetworkReply* reply = network_->get(QNetworkRequest(url));
    connect(reply, &QNetworkReply::finished, this, [this, reply, url] {
        reply->deleteLater();
        if (url != current_) return;  // a later navigation won
        bool ok = reply->error() == QNetworkReply::NoError;
        if (ok)
            text_->setHtml(QString::fromUtf8(reply->readAll()));
        else
            text_->setPlainText(reply->errorString());
        emit loadFinished(ok);
    });
}
#endif

}  // namespace tarnwell
