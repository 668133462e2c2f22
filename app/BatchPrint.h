// Batch printing from the command line: `tarnwell --print-to-pdf OUT.pdf FILE` prints FILE with the
// stored options and page setup into the PDF file OUT through the same steps as the Print command. It
// needs no display and never hands its command to a running instance.
#pragma once

#include <QString>
#include <QStringList>

namespace tarnwell {

class Profile;

inline constexpr const char* kPrintToPdfSwitch = "--print-to-pdf";

// True when the command line (without the program name) asks for batch printing.
bool IsBatchPrintCommand(const QStringList& args);
// Runs the command: 0 when the PDF was written, 1 with a message on standard error otherwise.
int RunBatchPrint(const QStringList& args, Profile& profile);
// Prints `file` into the PDF `out` with the options and page setup of `profile`. False with the reason
// in *error when the file cannot be read or the PDF cannot be written.
bool PrintFileToPdf(const QString& file, const QString& out, Profile& profile, QString* error);

}  // namespace tarnwell
