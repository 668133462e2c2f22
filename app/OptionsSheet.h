// COptionsSheet: the process-wide store of the current options, and the "Options" dialog with the
// pages General, Edit and Color that edits them. Values are read once per run and written on OK.
#pragma once

#include "app/FileAssociations.h"
#include "app/Options.h"

#include <QDialog>
#include <QFont>
#include <QObject>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace tarnwell {

class CColorButton;
class Profile;

class COptionsSheet : public QObject {
    Q_OBJECT
public:
    // Pages by their place in the sheet's order.
    enum Page { PageGeneral = 0, PageEdit = 1, PageFileTypes = 2, PageColor = 3 };

    // The profile the sheet reads and writes; set it before the first Get (default: the application's
    // settings). The profile must outlive the sheet.
    static void SetProfile(Profile* profile);
    // The singleton, created (and its values read) on the first call.
    static COptionsSheet& Get();
    static bool Exists();
    // Destroys the singleton (with the main frame).
    static void Release();

    const OptionsValues& Values() const { return values_; }
    const GeneralOptions& General() const { return values_.general; }
    const EditOptions& Edit() const { return values_.edit; }
    const ColorOptions& Color() const { return values_.color; }
    const FileTypesOptions& FileTypeOptions() const { return values_.fileTypes; }
    // The table of file types, read at creation; the File Types page changes it and saves it at once.
    AssociationTable& FileTypes() { return fileTypes_; }
    bool SaveFileTypes();
    // This program's path, the editor of the internal rows.
    static std::string SelfPath();
    // "Enable Internal Preview" as read at creation; child frames lay out by this one.
    bool InternalPreviewAtStart() const { return values_.internalPreviewAtStart; }
    // The six editing values every view reads when it needs them.
    const EditingSettings& Editing() const { return editing_; }

    int StartPage() const { return startPage_; }
    void SetStartPage(int page) { startPage_ = page; }

    // Shows the dialog modally at the start page; answers QDialog::Accepted or Rejected.
    int Show(QWidget* parent = nullptr);

    // Gives a view the editor font of the options (new views call it at creation).
    void ApplyFontTo(class CCrystalTextView* view) const;

    // What OK does with the values taken from the dialog: writes each page, keeps them as the current
    // values and tells the views.
    void Apply(const OptionsValues& values);

Q_SIGNALS:
    // After OK: every view takes the font and the editing settings and redraws.
    void editOptionsApplied();
    // After OK: every view redraws with the colors.
    void colorOptionsApplied();

private:
    explicit COptionsSheet(Profile& profile);
    // Copies the editing values and the colors into the settings every view reads.
    void PublishToViews() const;

    Profile& profile_;
    OptionsValues values_;
    AssociationTable fileTypes_;
    EditingSettings editing_;
    int startPage_ = PageGeneral;
};

// The editor's font of the stored face and size (a fixed-pitch face when the stored one is missing).
QFont EditorFont(const std::string& face, int pointSize);
// Font families of the screen that are fixed pitch with "W" as wide as "i" at height 90, sorted.
QStringList FixedPitchFamilies();
// The size list of a face: the fixed list for a scalable face, otherwise the sizes it offers.
QStringList FontSizesFor(const QString& family);

class COptionsFileTypes;

class COptionsGeneral : public QWidget {
    Q_OBJECT
public:
    explicit COptionsGeneral(QWidget* parent = nullptr);
    void Load(const GeneralOptions& values);
    void Save(GeneralOptions& values) const;

    QCheckBox* reloadLastProject = nullptr;     // 1072
    QCheckBox* rememberOpenFiles = nullptr;     // 1073
    QCheckBox* enableInternalPreview = nullptr; // 1074
};

class COptionsEdit : public QWidget {
    Q_OBJECT
public:
    explicit COptionsEdit(QWidget* parent = nullptr);
    void Load(const EditOptions& values);
    // False (with the field to fix in `bad`) when the size or the tab size is out of range.
    bool Validate(QWidget** bad, QString* message) const;
    void Save(EditOptions& values) const;
    // Refills the size list for the selected face (`fromFaceChange`: select the first size when the
    // previous size is not offered).
    void FillSizes(bool fromFaceChange);

    QComboBox* face = nullptr;     // 1074
    QComboBox* size = nullptr;     // 1075
    QCheckBox* autoListMembers = nullptr;
    QCheckBox* autoParameterInfo = nullptr;
    QCheckBox* autoIndent = nullptr;
    QCheckBox* selectionMargin = nullptr;
    QCheckBox* selectionAlways = nullptr;
    QCheckBox* lineNumber = nullptr;
    QLineEdit* tabSize = nullptr;  // 1082
    QCheckBox* tabToSpace = nullptr;
    QComboBox* defaultEncoding = nullptr;  // one entry per code page, its number as the item data

private:
    std::string previousFace_;
};

class COptionsColor : public QWidget {
    Q_OBJECT
public:
    explicit COptionsColor(QWidget* parent = nullptr);
    void Load(const ColorOptions& values);
    void Save(ColorOptions& values) const;
    void ResetAll();

    QCheckBox* enableColoring = nullptr;                      // 1164
    std::array<CColorButton*, ColorSlotCount> buttons{};      // in slot order
    QPushButton* resetAll = nullptr;                          // 1171

private:
    void EnableButtons();
};

// The dialog: caption "Options", OK and Cancel, the pages in the sheet's order.
class COptionsDialog : public QDialog {
    Q_OBJECT
public:
    // The File Types page edits `fileTypes` and calls `saveFileTypes` after each change (defaults:
    // the options store's table and its saving).
    COptionsDialog(const OptionsValues& values, int startPage, QWidget* parent = nullptr,
                   AssociationTable* fileTypes = nullptr, std::function<bool()> saveFileTypes = {});

    QTabWidget* Tabs() const { return tabs_; }
    // The sheet's page index of the page shown now.
    int ActivePage() const;
    void ShowPage(int page);
    const OptionsValues& Result() const { return result_; }

    COptionsGeneral* general = nullptr;
    COptionsEdit* edit = nullptr;
    COptionsFileTypes* fileTypes = nullptr;
    COptionsColor* color = nullptr;

    void accept() override;

private:
    int TabOfPage(int page) const;
    bool ValidatePage(QWidget* page);

    QTabWidget* tabs_ = nullptr;
    OptionsValues result_;
    int shownTab_ = 0;
};

}  // namespace tarnwell
