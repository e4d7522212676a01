#pragma once
// keeprun's own command-line options, read from what Qt leaves of its arguments.
#include <QStringList>

namespace keeprun {

struct CommandLine {
    // Started by the login entry (kLoginOption): the network may come up late.
    bool at_login = false;
};

// `arguments` as QCoreApplication::arguments() gives them, the program first. An
// option keeprun does not know is named on standard error and ignored, so an
// entry written by another version still starts keeprun.
CommandLine read_command_line(const QStringList& arguments);

} // namespace keeprun
