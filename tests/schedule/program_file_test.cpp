#include <gtest/gtest.h>

#include "fakes.h"
#include "system/argument_text.h"
#include "system/desktop_entry.h"
#include "system/program_file.h"
#include "tests/support/temp_dir.h"

using namespace keeprun;
using namespace keeprun::testing;

namespace {

TEST(ProgramFile, WindowsRulesReadThePathTextPosixRulesAskTheFile) {
    FakeFiles files;
    files.add_document("C:\\Tools\\app.exe");
    files.add_document("C:\\Tools\\APP.EXE.bak");
    files.add_program("/usr/bin/game");
    files.add_program("/home/u/trusted.desktop");
    files.add_document("/home/u/app.exe");
    files.add_folder("/usr/bin");
    constexpr auto W = FileRules::windows;
    constexpr auto P = FileRules::posix;
    struct Case {
        FileRules rules;
        const char* path;
        bool usable, dark, dropped_program, dropped_shortcut;
    } cases[] = {
        {W, "C:\\Tools\\app.exe", true, true, true, false},
        {W, "C:\\Tools\\APP.EXE.bak", true, true, false, false}, // contains ".exe" and exists
        {W, "C:\\Tools\\missing.exe", false, true, true, false}, // a drop is not checked on disk
        {W, "D:\\Games\\GAME.EXE", false, true, true, false},
        {W, "C:\\Users\\u\\App.LNK", false, true, false, true},
        {W, "/usr/bin/game", false, false, false, false},
        {W, "", false, false, false, false},
        {P, "/usr/bin/game", true, true, true, false},
        {P, "/home/u/app.exe", false, true, false, false},
        {P, "/usr/bin", false, true, false, false},
        {P, "/usr/bin/missing", false, true, false, false},
        {P, "/home/u/trusted.desktop", true, true, true, true},
        {P, "/home/u/Other.DESKTOP", false, true, false, true},
        {P, "C:\\Tools\\app.exe", false, false, false, false},
        {P, "", false, false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(slot_path_usable(c.rules, c.path, files), c.usable) << c.path;
        EXPECT_EQ(path_shown_dark(c.rules, c.path), c.dark) << c.path;
        EXPECT_EQ(is_dropped_program(c.rules, c.path, files), c.dropped_program) << c.path;
        EXPECT_EQ(is_dropped_shortcut(c.rules, c.path), c.dropped_shortcut) << c.path;
    }
}

TEST(DesktopEntry, TakesTheProgramOfExec) {
    struct Case {
        const char* name;
        const char* text;
        const char* want; // nullptr: no program
    } cases[] = {
        {"plain", "[Desktop Entry]\nType=Application\nExec=/opt/game/game\n", "/opt/game/game"},
        {"field codes and arguments", "[Desktop Entry]\nExec=firefox %u --new-window\n", "firefox"},
        {"field code first", "[Desktop Entry]\nExec=%k /usr/bin/tool\n", "/usr/bin/tool"},
        {"quoted with blank", "[Desktop Entry]\nExec=\"/opt/My Game/run\" %F\n",
         "/opt/My Game/run"},
        {"escaped quote", "[Desktop Entry]\nExec=\"/opt/a\\\"b/run\"\n", "/opt/a\"b/run"},
        {"backslash in quotes", "[Desktop Entry]\nExec=\"/opt/a\\\\\\\\b/run\"\n", "/opt/a\\b/run"},
        {"literal percent", "[Desktop Entry]\nExec=/opt/100%%/run\n", "/opt/100%/run"},
        {"space escape", "[Desktop Entry]\nExec=/opt/my\\sgame\n", "/opt/my"},
        {"CR LF lines", "[Desktop Entry]\r\nName=x\r\nExec=/bin/x\r\n", "/bin/x"},
        {"other group first",
         "[Desktop Action new]\nExec=/bin/wrong\n[Desktop Entry]\nExec=/bin/right\n", "/bin/right"},
        {"only in another group", "[Desktop Entry]\nName=x\n[Desktop Action a]\nExec=/bin/a\n",
         nullptr},
        {"key only starts with Exec", "[Desktop Entry]\nExecutable=/bin/x\n", nullptr},
        {"link launcher", "[Desktop Entry]\nType=Link\nURL=https://example.org\n", nullptr},
        {"only field codes", "[Desktop Entry]\nExec=%f %U\n", nullptr},
        {"empty quoted program", "[Desktop Entry]\nExec=\"\" /bin/x\n", nullptr},
        {"no group", "Exec=/bin/x\n", nullptr},
        {"binary",
         "\x7f"
         "ELF\x02\x01\x01",
         nullptr},
        {"unterminated quote", "[Desktop Entry]\nExec=\"/opt/x", "/opt/x"},
        {"trailing backslash", "[Desktop Entry]\nExec=/opt/x\\", "/opt/x\\"},
        {"through env", "[Desktop Entry]\nExec=env GDK_SCALE=2 A=\"b c\" game %u\n", "game"},
        {"env options", "[Desktop Entry]\nExec=/usr/bin/env -i -u HOME -- X=1 /opt/g\n", "/opt/g"},
        {"env twice", "[Desktop Entry]\nExec=env -C /tmp env --unset=A /opt/g\n", "/opt/g"},
        {"env alone", "[Desktop Entry]\nExec=env LANG=C\n", nullptr},
        {"shell", "[Desktop Entry]\nExec=sh -c \"cd /opt/g && ./g\"\n", nullptr},
        {"shell by path", "[Desktop Entry]\nExec=/bin/bash /opt/g/start.sh\n", nullptr},
        {"shell through env", "[Desktop Entry]\nExec=env A=1 /usr/bin/dash -c g\n", nullptr},
        {"flatpak", "[Desktop Entry]\nExec=/usr/bin/flatpak run org.example.Game\n", nullptr},
        {"snap", "[Desktop Entry]\nExec=/snap/bin/snap run game\n", nullptr},
        {"interpreter", "[Desktop Entry]\nExec=python3 /opt/g/main.py\n", nullptr},
        {"versioned interpreter", "[Desktop Entry]\nExec=/usr/bin/python3.11 main.py\n", nullptr},
        {"a program with digits", "[Desktop Entry]\nExec=/opt/g/game2\n", "/opt/g/game2"},
        {"named like a shell only in part", "[Desktop Entry]\nExec=/opt/shop/bashful\n",
         "/opt/shop/bashful"},
    };
    for (const Case& c : cases) {
        const auto got = desktop_launch(c.text);
        if (c.want) {
            ASSERT_TRUE(got.has_value()) << c.name;
            EXPECT_EQ(got->program, c.want) << c.name;
        } else {
            EXPECT_FALSE(got.has_value()) << c.name << ": " << got->program;
        }
    }
}

TEST(DesktopEntry, KeepsTheArgumentsAndStartFolder) {
    const std::tuple<const char*, std::vector<std::string>, const char*> cases[] = {
        {"Exec=/opt/g/run --full %U -w \"a b\"\nPath=/srv/My\\sGame\n",
         {"--full", "-w", "a b"},
         "/srv/My Game"},
        {"Exec=env A=1 game 100%% \"x\\\\\"y\"\n", {"100%", "x\"y"}, ""},
        {"Path=/elsewhere\nExec=/bin/x\n[Desktop Action a]\nPath=/wrong\n", {}, "/elsewhere"},
    };
    for (const auto& [entry, arguments, folder] : cases) {
        const auto got = desktop_launch(std::string("[Desktop Entry]\n") + entry);
        ASSERT_TRUE(got.has_value()) << entry;
        EXPECT_EQ(got->arguments, arguments) << entry;
        EXPECT_EQ(got->folder, folder) << entry;
        // Stored as one text, they come back as they were.
        EXPECT_EQ(split_argument_text(join_argument_text(arguments)), arguments) << entry;
    }
}

TEST(DesktopEntry, LooksUpBareNamesInThePath) {
    FakeFiles files;
    files.add_program("/usr/bin/firefox");
    files.add_program("/opt/bin/firefox");
    files.add_document("/usr/local/bin/notes");
    files.add_program("/usr/bin/notes");
    struct Case {
        const char* program;
        const char* path_list;
        const char* want;
    } cases[] = {
        {"firefox", "/usr/local/bin:/usr/bin:/opt/bin", "/usr/bin/firefox"},
        {"firefox", "/opt/bin/:/usr/bin", "/opt/bin/firefox"},
        {"notes", "/usr/local/bin:/usr/bin", "/usr/bin/notes"}, // not executable: skipped
        {"firefox", "::/usr/bin", "/usr/bin/firefox"},
        {"firefox", "", nullptr},
        {"missing", "/usr/bin", nullptr},
        {"./run", "/usr/bin", "./run"},
        {"/abs/x", "/usr/bin", "/abs/x"},
        {"", "/usr/bin", nullptr},
    };
    for (const auto& c : cases) {
        const auto got = resolve_program(c.program, c.path_list, files);
        EXPECT_EQ(got.has_value(), c.want != nullptr) << c.program << " in " << c.path_list;
        if (got && c.want) {
            EXPECT_EQ(*got, c.want);
        }
    }
}

#ifndef _WIN32
// The real file system: permissions and a launcher file on disk.
TEST(OnDisk, LocalFileStatusAndLauncher) {
    const TempDir dir;
    const std::string program = dir.file("prog", "#!/bin/sh\n", true);
    const std::string document = dir.file("doc.txt", "text");
    const std::string launcher =
        dir.file("game.desktop", "[Desktop Entry]\nExec=\"" + program + "\" %U\n");
    const std::string to_document =
        dir.file("doc.desktop", "[Desktop Entry]\nExec=" + document + "\n");
    const FileStatus& files = local_file_status();

    const FileInfo p = files.status(program);
    EXPECT_TRUE(p.exists && p.regular && p.executable);
    const FileInfo d = files.status(document);
    EXPECT_TRUE(d.exists && d.regular);
    EXPECT_FALSE(d.executable); // even for root: no execute bit at all
    EXPECT_FALSE(files.status(dir.path().string()).regular);
    EXPECT_FALSE(files.status(dir.file("missing")).exists);

    EXPECT_EQ(desktop_entry_shortcut(launcher, files)->target, program);
    EXPECT_EQ(desktop_entry_shortcut(to_document, files)->target,
              document); // the drop rule rejects it
    EXPECT_FALSE(desktop_entry_shortcut(dir.file("gone.desktop"), files).has_value());
    EXPECT_FALSE(desktop_entry_shortcut(dir.path().string(), files).has_value());
    // An application name linked to a wrapper, as snap installs them.
    std::filesystem::create_symlink("/bin/sh", dir.file("app"));
    const std::string wrapped =
        dir.file("app.desktop", "[Desktop Entry]\nExec=" + dir.file("app") + "\n");
    EXPECT_FALSE(desktop_entry_shortcut(wrapped, files).has_value());
}

#endif

} // namespace
