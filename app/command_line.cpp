#include "app/command_line.h"

#include "system/autostart.h"

#include <iostream>

namespace keeprun {

CommandLine read_command_line(const QStringList& arguments) {
    CommandLine options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String(kLoginOption))
            options.at_login = true;
        else
            std::cerr << "keeprun: ignoring the unknown argument " << arguments[i].toStdString()
                      << "\n";
    }
    return options;
}

} // namespace keeprun
