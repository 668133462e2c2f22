// The project sheet. As the New Project wizard, page one takes the project's name and folder and,
// when left with Next, creates the folder, the project file and (when asked) Global.asa; page two
// takes the web path. As the "Properties" sheet of an open project, page one only shows its name and
// folder and page two edits the web path.
#pragma once

#include <QDialog>
#include <QWizard>
#include <QWizardPage>

class QCheckBox;
class QLineEdit;
class QTabWidget;
class QToolButton;

namespace tarnwell {

class Profile;

class CProjectPage1 : public QWizardPage {
    Q_OBJECT
public:
    CProjectPage1(const QString& defaultFolder, const QString& globalAsaTemplate);
    bool validatePage() override;

    QLineEdit* NameEdit() const { return name_; }
    QLineEdit* PathEdit() const { return path_; }
    QCheckBox* GlobalAsaBox() const { return globalAsa_; }
    QToolButton* BrowseButton() const { return browse_; }
    // Shows an open project: name and folder read-only, nothing to browse or create.
    void SetPropertyMode(const QString& name, const QString& folder);
    // The project file written by the last successful Next (empty: none yet).
    QString ProjectFile() const;

private:
    bool CreateGlobalAsa();

    QLineEdit* name_;
    QLineEdit* path_;
    QToolButton* browse_;
    QCheckBox* globalAsa_;
    QString template_;
    std::string acceptedName_, acceptedPath_;
    bool globalAsaCreated_ = false;
};

class CProjectPage2 : public QWizardPage {
    Q_OBJECT
public:
    explicit CProjectPage2(Profile& profile);
    bool validatePage() override;
    QLineEdit* WebPathEdit() const { return webPath_; }
    // The web path as accepted: trimmed.
    QString WebPath() const;

private:
    Profile& profile_;
    QLineEdit* webPath_;
    bool declined_ = false;
};

class CProjectSheet : public QWizard {
    Q_OBJECT
public:
    CProjectSheet(const QString& defaultFolder, const QString& globalAsaTemplate, Profile& profile,
                  QWidget* parent = nullptr);
    CProjectPage1* Page1() const { return page1_; }
    CProjectPage2* Page2() const { return page2_; }
    QString ProjectFile() const { return page1_->ProjectFile(); }
    QString WebPath() const;

private:
    CProjectPage1* page1_;
    CProjectPage2* page2_;
};

// The project sheet in property mode: "Properties" with the pages "General" and "Web Path" and OK
// and Cancel. OK asks about a blank web path as the wizard's Finish does.
class CProjectPropertySheet : public QDialog {
    Q_OBJECT
public:
    enum { PageGeneral = 0, PageWebPath = 1 };
    // `name` without its extension; `startPage` is the page shown first.
    CProjectPropertySheet(const QString& name, const QString& folder, const QString& webPath, Profile& profile,
                          int startPage = PageGeneral, QWidget* parent = nullptr);
    CProjectPage1* Page1() const { return page1_; }
    CProjectPage2* Page2() const { return page2_; }
    QTabWidget* Tabs() const { return tabs_; }
    QString WebPath() const { return page2_->WebPath(); }
    void accept() override;

private:
    CProjectPage1* page1_;
    CProjectPage2* page2_;
    QTabWidget* tabs_;
};

}  // namespace tarnwell
