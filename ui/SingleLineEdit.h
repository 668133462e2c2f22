// Dialog fields whose values are stored one per line: a pasted line break becomes a blank.
#pragma once

#include <QLineEdit>
#include <QObject>

namespace tarnwell {

inline void RefuseLineBreaks(QLineEdit* edit) {
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) {
        if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) return;
        QString clean = text;
        clean.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        edit->setText(clean);
    });
}

}  // namespace tarnwell
