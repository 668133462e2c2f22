// Opening a file from the explorer by the table of file types: in the editor, with the external
// program of its row, or with the desktop's application for its type; when the desktop has none,
// the "Open With" dialog lets the user pick a program (and keep it as a row of the table).
#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QToolButton;

namespace tarnwell {

// True when the file opened in the editor; false when it went to another program or failed (the
// user was told why).
bool OpenWithAssociation(const QString& path);

// The desktop entry id of the application the desktop opens `path` with (empty: none). On systems
// without desktop entries the answer is "*": the system decides when the file is opened.
QString DesktopApplicationFor(const QString& path);

struct InstalledApplication {
    QString id;    // "name.desktop"
    QString name;
    QString icon;
    bool handlesType = false;  // declares the file's type (or one it derives from)
};
// The applications the desktop lists, those declaring one of `mimeTypes` first, then by name.
QList<InstalledApplication> InstalledApplications(const QStringList& mimeTypes);
// A file's MIME type followed by the types it derives from.
QStringList MimeTypesOf(const QString& path);

class COpenWithDialog : public QDialog {
    Q_OBJECT
public:
    // `canRemember`: the file's extension may become a row of the table.
    COpenWithDialog(const QString& file, bool canRemember, QWidget* parent = nullptr);
    // The chosen program: a desktop entry id or a program path (empty: none yet).
    QString Program() const;
    QString Parameters() const;
    bool Remember() const;

    QListWidget* applications = nullptr;
    QLineEdit* program = nullptr;
    QToolButton* browse = nullptr;
    QLineEdit* parameters = nullptr;
    QCheckBox* remember = nullptr;

private:
    void UpdateOk();
};

}  // namespace tarnwell
