// The Page Setup dialog: the four page margins in millimetres, read from and written to the page
// setup in the settings (hundredths of a millimetre). Paper and orientation belong to the printer and
// are chosen in its own dialogs.
#pragma once

#include <QDialog>

#include "text/PrintLayout.h"

class QDoubleSpinBox;

namespace tarnwell {

class Profile;

class CPageSetupDialog : public QDialog {
    Q_OBJECT
public:
    explicit CPageSetupDialog(const PageMargins& margins, QWidget* parent = nullptr);

    // The margins as entered, in hundredths of a millimetre.
    PageMargins Margins() const;

    QDoubleSpinBox* left = nullptr;
    QDoubleSpinBox* right = nullptr;
    QDoubleSpinBox* top = nullptr;
    QDoubleSpinBox* bottom = nullptr;
};

// Shows the dialog over the margins of `profile`; writes them back only when it closes with OK.
bool RunPageSetup(Profile& profile, QWidget* parent = nullptr);

}  // namespace tarnwell
