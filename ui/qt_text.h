#pragma once
// The engine's UTF-8 texts as Qt's.
#include <QString>
#include <string>

namespace keeprun {

inline QString to_qstring(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace keeprun
