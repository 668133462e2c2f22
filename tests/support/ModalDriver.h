// Test helper: answers the modal dialogs a flow opens, one queued action per dialog, in order.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>

namespace tarnwell::test {

class ModalDriver : public QObject {
public:
    using Action = std::function<void(QWidget*)>;

    ModalDriver() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
        timer_.start();
    }

    // Queues an action for the next modal dialog that is not yet answered.
    void Then(Action a) { actions_.push_back(std::move(a)); }
    // Queues a click on the button whose text (without "&") equals `text`.
    void Click(const QString& text) {
        Then([text](QWidget* w) { ClickButton(w, text); });
    }

    bool Idle() const { return actions_.empty(); }
    // Texts of the dialogs seen so far (message box text, or the window title of other dialogs).
    const QStringList& Seen() const { return seen_; }
    // A modal dialog turned up with no action queued for it (it was rejected).
    int Unexpected() const { return unexpected_; }

    static bool ClickButton(QWidget* w, const QString& text) {
        for (auto* b : w->findChildren<QAbstractButton*>()) {
            if (b->text().remove(QLatin1Char('&')) == QString(text).remove(QLatin1Char('&')) && b->isVisible()) {
                b->click();
                return true;
            }
        }
        return false;
    }

    static QString TextOf(QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) return box->text();
        if (auto* label = w->findChild<QLabel*>(QStringLiteral("text"))) return label->text();
        return w->windowTitle();
    }

private:
    void Poll() {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible() || w->property("tarnwellDriverSeen").toBool()) return;
        w->setProperty("tarnwellDriverSeen", true);
        seen_.append(TextOf(w));
        if (actions_.empty()) {
            ++unexpected_;
            if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
            return;
        }
        Action a = std::move(actions_.front());
        actions_.pop_front();
        QPointer<QWidget> guard(w);
        a(w);
    }

    QTimer timer_;
    std::deque<Action> actions_;
    QStringList seen_;
    int unexpected_ = 0;
};

}  // namespace tarnwell::test
