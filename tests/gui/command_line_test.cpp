// keeprun's own options: the login start, and arguments it does not know.
#include <gtest/gtest.h>

#include "app/command_line.h"

namespace keeprun {
namespace {

TEST(CommandLine, OnlyTheLoginOptionMarksALoginStartAndOtherArgumentsAreIgnored) {
    const struct {
        QStringList arguments;
        bool at_login;
    } cases[] = {
        {{"keeprun"}, false},
        {{"keeprun", "--login"}, true},
        {{"keeprun", "--minimised", "--login"}, true},
        {{"keeprun", "--LOGIN", "login"}, false},
        {{"--login"}, false}, // the program's own path
    };
    for (const auto& c : cases)
        EXPECT_EQ(read_command_line(c.arguments).at_login, c.at_login)
            << c.arguments.join(' ').toStdString();
}

} // namespace
} // namespace keeprun
