#include "text/PageSetupDialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include <cmath>

#include "text/AskWithCheck.h"

namespace tarnwell {

namespace {

QDoubleSpinBox* MarginBox(const char* name, int hundredths, QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setDecimals(2);
    box->setRange(0.0, 1000.0);
    box->setSingleStep(1.0);
    box->setSuffix(QStringLiteral(" mm"));
    box->setValue(hundredths / 100.0);
    return box;
}

int Hundredths(const QDoubleSpinBox* box) { return int(std::lround(box->value() * 100.0)); }

}  // namespace

CPageSetupDialog::CPageSetupDialog(const PageMargins& margins, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Page Setup"));
    setObjectName(QStringLiteral("PageSetup"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Margins"), this);
    auto* form = new QFormLayout(group);
    left = MarginBox("LeftMargin", margins.left, group);
    right = MarginBox("RightMargin", margins.right, group);
    top = MarginBox("TopMargin", margins.top, group);
    bottom = MarginBox("BottomMargin", margins.bottom, group);
    form->addRow(QStringLiteral("&Left:"), left);
    form->addRow(QStringLiteral("&Right:"), right);
    form->addRow(QStringLiteral("&Top:"), top);
    form->addRow(QStringLiteral("&Bottom:"), bottom);
    layout->addWidget(group);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

PageMargins CPageSetupDialog::Margins() const {
    return {Hundredths(left), Hundredths(right), Hundredths(top), Hundredths(bottom)};
}

bool RunPageSetup(Profile& profile, QWidget* parent) {
    CPageSetupDialog dialog(ReadPageMargins(profile), parent ? parent : DialogOwner());
    if (dialog.exec() != QDialog::Accepted) return false;
    WritePageMargins(profile, dialog.Margins());
    return true;
}

}  // namespace tarnwell
