// The New Project wizard: page one takes the project's name and folder and, when left with Next,
// creates the folder, the project file and (when asked) Global.asa; page two takes the web path.
#pragma once

#include <QWizard>
#include <QWizardPage>

class QCheckBox;
class QLineEdit;

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
    // The project file written by the last successful Next (empty: none yet).
    QString ProjectFile() const;

private:
    bool CreateGlobalAsa();

    QLineEdit* name_;
    QLineEdit* path_;
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

}  // namespace tarnwell
