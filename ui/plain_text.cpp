#include "ui/plain_text.h"

#include <QAbstractButton>
#include <QLabel>

namespace keeprun {

void set_plain_text(QLabel* label, const QString& text) {
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
}

void set_plain_text(QAbstractButton* button, const QString& text) {
    QString shown = text;
    button->setText(shown.replace(QLatin1Char('&'), QLatin1String("&&")));
}

} // namespace keeprun
