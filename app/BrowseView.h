// CBrowseView: the child frame's page view for Preview. It wraps the embedded web browser when the
// build has one, otherwise a plain rich-text browser that shows local pages and fetched http pages.
#pragma once

#include <QUrl>
#include <QWidget>

class QNetworkAccessManager;
class QTextBrowser;
class QWebEngineView;

namespace tarnwell {

class CBrowseView : public QWidget {
    Q_OBJECT
public:
    explicit CBrowseView(QWidget* parent = nullptr);
    ~CBrowseView() override;

    // Call before the QApplication is created (the embedded browser shares GL contexts).
    static void PrepareApplication();
    // "about:blank", an http(s) address, or a local file path.
    static QUrl UrlFor(const QString& urlOrPath);
    static bool HasEmbeddedBrowser();

    void Navigate(const QString& urlOrPath);
    QUrl CurrentUrl() const { return current_; }
    // The inner widget that shows the page.
    QWidget* PageWidget() const;

Q_SIGNALS:
    void loadFinished(bool ok);

private:
#ifdef TARNWELL_HAVE_WEBENGINE
    QWebEngineView* web_ = nullptr;
#else
    void FetchInto(const QUrl& url);
    QTextBrowser* text_ = nullptr;
    QNetworkAccessManager* network_ = nullptr;
#endif
    QUrl current_;
};

}  // namespace tarnwell
