#pragma once
// Text from the server or the user shown as it is: never as markup (which could
// paint anything or read local files), never as a keyboard mnemonic.
#include <QString>

class QAbstractButton;
class QLabel;

namespace keeprun {

void set_plain_text(QLabel* label, const QString& text);
void set_plain_text(QAbstractButton* button, const QString& text);

} // namespace keeprun
