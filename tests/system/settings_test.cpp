#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <sstream>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "system/codepage.h"
#include "system/data_folder.h"
#include "system/files.h"
#include "system/settings_file.h"
#include "system/settings_store.h"
#include "system/single_instance.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wait_until.h"

namespace keeprun {
namespace {

using testing::slurp;
using testing::spit;
using testing::TempDir;

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(SettingsFile, SaveThenLoadRestoresEverything) {
    TempDir dir;
    StoredSettings saved;
    saved.option = 1;
    for (std::size_t n = 1; n <= 4; ++n) {
        saved.param_strings[n - 1] = "/opt/程序" + std::to_string(n) + "[*]8[*]3";
        saved.param_strings[n + 3] = "行一\r\n行二" + std::to_string(n);
    }
    saved.record_lines = {"12:00:01 打开程序1", "12:00:05 关闭程序5", "23:59:59 打开程序8"};
    ASSERT_TRUE(save_settings(dir.folder(), saved));

    const std::string ini = cp936_decode(slurp(dir.file("data.ini")));
    EXPECT_NE(ini.find("[gx]\r\n0=1\r\n"), std::string::npos);
    EXPECT_NE(ini.find("[cx2]\r\n1=行一[vbcrlf]行二1\r\n"), std::string::npos);
    const std::string record = slurp(dir.file("jilu.txt"));
    EXPECT_EQ(count(record, "\r\n"), 2001u);
    std::string frame;
    for (int i = 0; i < 1999; ++i)
        frame += "\r\n";
    EXPECT_EQ(record,
              cp936_encode("12:00:01 打开程序1\r\n12:00:05 关闭程序5\r\n23:59:59 打开程序8") +
                  frame);

    EXPECT_EQ(load_option(dir.folder()), 1);
    EXPECT_EQ(load_record_lines(dir.folder()), saved.record_lines);
    EXPECT_EQ(load_param_strings(dir.folder()), saved.param_strings);
}

TEST(SettingsFile, MissingFilesGiveAFreshStart) {
    TempDir dir;
    EXPECT_EQ(load_option(dir.folder()), 0);
    EXPECT_TRUE(load_record_lines(dir.folder()).empty());
    EXPECT_EQ(load_param_strings(dir.folder()), (std::array<std::string, 8>{}));
    EXPECT_EQ(slurp(dir.file("jilu.txt")), "") << "an empty jilu.txt is left behind";
}

TEST(SettingsFile, OptionKeepsOnlyTheStatesOfTheBox) {
    const std::pair<const char*, int> cases[] = {{"0", 0}, {"1", 1},  {"2", 2},   {" 1 ", 1},
                                                 {"3", 0}, {"-1", 0}, {"1.5", 0}, {"abc", 0},
                                                 {"", 0},  {"1x", 1}, {"&H2", 2}};
    TempDir dir;
    for (const auto& [stored, want] : cases) {
        spit(dir.file("data.ini"), std::string("[gx]\r\n0=") + stored + "\r\n");
        EXPECT_EQ(load_option(dir.folder()), want) << stored;
    }
}

TEST(SettingsFile, RecordRestoreKeepsLongLinesOfALongText) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::string> want;
    } cases[] = {
        {"four characters restore nothing", "abcd", {}},
        {"five-character lines are skipped", "abcde\r\nabcdef\r\n\r\n12345", {"abcdef"}},
        {"characters, not bytes, count", "打开程序一\r\n打开程序一二", {"打开程序一二"}},
        {"lone line feeds do not split", "abc\ndef\r\nx", {"abc\ndef"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(record_lines_to_restore(c.text), c.want) << c.name;

    std::string many;
    for (int i = 0; i < 1500; ++i)
        many += "line " + std::to_string(i) + "\r\n";
    const auto kept = record_lines_to_restore(many);
    ASSERT_EQ(kept.size(), 1000u);
    EXPECT_EQ(kept.front(), "line 500");
    EXPECT_EQ(kept.back(), "line 1499");
}

TEST(SettingsFile, DamagedFilesNeverCrashAndKeepWhatIsReadable) {
    TempDir dir;
    std::string noise;
    for (int i = 0; i < 3 << 20; ++i)
        noise += static_cast<char>((i * 2654435761u) >> 24);
    spit(dir.file("data.ini"), noise + "\r\n[cx1]\r\n2=kept\r\n");
    spit(dir.file("jilu.txt"), noise + cp936_encode("\r\n09:00:00 打开程序2\r\n"));
    EXPECT_EQ(load_param_strings(dir.folder())[1], "kept");
    const std::vector<std::string> lines = load_record_lines(dir.folder());
    ASSERT_FALSE(lines.empty());
    EXPECT_LE(lines.size(), kRecordListLines);
    EXPECT_EQ(lines.back(), "09:00:00 打开程序2");
}

TEST(SettingsFile, AFailedSaveLeavesTheOldFiles) {
    TempDir dir;
    StoredSettings w;
    w.option = 1;
    w.record_lines = {"10:00:00 打开程序1"};
    ASSERT_TRUE(save_settings(dir.folder(), w));
    const std::string ini = slurp(dir.file("data.ini"));
    EXPECT_FALSE(save_settings(dir.folder() + "gone/", w));
    // The data folder turned into something that cannot take a temporary file.
    std::filesystem::create_directory(dir.file("ro"));
    std::filesystem::create_directory(dir.file("ro/data.ini"));
    EXPECT_FALSE(save_settings(dir.file("ro/"), w));
    EXPECT_EQ(slurp(dir.file("data.ini")), ini);
}

#ifndef _WIN32
// Each save writes its sequence number everywhere; a kill at any moment must
// leave both files equal to one whole save.
StoredSettings sequenced(int seq) {
    StoredSettings s;
    s.option = seq % 2;
    for (std::size_t i = 0; i < 8; ++i)
        s.param_strings[i] = std::to_string(seq) + "-" + std::to_string(i / 4 + 1) + "-" +
                             std::to_string(i % 4 + 1) +
                             std::string(static_cast<std::size_t>(seq % 97), 'x');
    s.record_lines.assign(static_cast<std::size_t>(seq % 1000 + 1), "seq " + std::to_string(seq));
    return s;
}

std::string one_save(int seq, const std::string& file) {
    TempDir scratch;
    save_settings(scratch.folder(), sequenced(seq));
    return slurp(scratch.file(file));
}

TEST(SettingsFile, KilledInTheMiddleOfSavesLeavesWholeFiles) {
    TempDir dir;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        for (int seq = 1;; ++seq)
            save_settings(dir.folder(), sequenced(seq));
    }
    // Let it get well into the series before the kill.
    const bool busy = testing::wait_until(
        [&] { return std::atoi(read_ini("cx1", "1", dir.file("data.ini")).c_str()) > 30; });
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    ASSERT_TRUE(busy);

    const int ini_seq = std::atoi(read_ini("cx1", "1", dir.file("data.ini")).c_str());
    ASSERT_GT(ini_seq, 0);
    EXPECT_EQ(slurp(dir.file("data.ini")), one_save(ini_seq, "data.ini"));
    const std::string record = slurp(dir.file("jilu.txt"));
    EXPECT_EQ(count(record, "\r\n"), 2001u);
    const int record_seq = std::atoi(record.c_str() + 4);
    EXPECT_EQ(record, one_save(record_seq, "jilu.txt"));

    // What the killed writer left behind goes with the next good save; files of a
    // writer that still runs (init), of nobody's naming or of other files stay.
    const std::string dead = std::to_string(child);
    const std::vector<std::string> kept = {"data.ini.tmp-1-abc123", "data.ini.tmp-abc123",
                                           "notes.tmp-" + dead + "-abc123"};
    for (const std::string& name : kept)
        spit(dir.file(name), "not a leftover of ours");
    spit(dir.file("data.ini.tmp-" + dead + "-abc123"), "half a save");
    save_settings(dir.folder(), sequenced(1));
    std::vector<std::string> left;
    for (const auto& f : std::filesystem::directory_iterator(dir.folder()))
        left.push_back(f.path().filename().string());
    std::sort(left.begin(), left.end());
    std::vector<std::string> want = kept;
    want.insert(want.end(), {"data.ini", "jilu.txt"});
    std::sort(want.begin(), want.end());
    EXPECT_EQ(left, want);
}

TEST(SettingsFile, AFileRenamedIntoPlaceHasItsFolderSynced) {
    TempDir dir;
    const std::string log = dir.file("strace.log");
    const std::string command = "strace -f -qq -e trace=rename,openat,fsync -o " + log + " /proc/" +
                                std::to_string(getpid()) +
                                "/exe --gtest_filter=SettingsFile.SaveThenLoadRestoresEverything"
                                " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "strace cannot run here";
    // Every rename into place is followed by an fsync of the folder, opened as one.
    std::istringstream lines(slurp(log));
    int renames = 0, synced = 0;
    std::string folder_fd;
    for (std::string line; std::getline(lines, line);) {
        if (line.find("rename(") != std::string::npos && line.find(".tmp-") != std::string::npos) {
            ++renames;
            folder_fd.clear();
        } else if (line.find("O_DIRECTORY") != std::string::npos && renames > synced) {
            folder_fd = line.substr(line.rfind("= ") + 2);
        } else if (!folder_fd.empty() &&
                   line.find("fsync(" + folder_fd + ")") != std::string::npos) {
            ++synced;
            folder_fd.clear();
        }
    }
    EXPECT_EQ(renames, 2) << slurp(log);
    EXPECT_EQ(synced, renames) << slurp(log);
}

TEST(SettingsFile, ASaveWritesThroughLinksToTheirTargets) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("store"));
    spit(dir.file("store/data.ini"), "[cx1]\r\n1=old\r\n");
    // data.ini: a relative link; jilu.txt: a link to a relative link to a file not made yet.
    std::filesystem::create_symlink("store/data.ini", dir.file("data.ini"));
    std::filesystem::create_symlink(dir.file("store/jilu-link"), dir.file("jilu.txt"));
    std::filesystem::create_symlink("jilu.txt", dir.file("store/jilu-link"));
    StoredSettings w;
    w.option = 1;
    w.record_lines = {"10:00:00 打开程序1"};
    ASSERT_TRUE(save_settings(dir.folder(), w));
    for (const char* link : {"data.ini", "jilu.txt", "store/jilu-link"})
        EXPECT_TRUE(std::filesystem::is_symlink(dir.file(link))) << link;
    EXPECT_EQ(read_ini("gx", "0", dir.file("store/data.ini")), "1");
    EXPECT_NE(slurp(dir.file("store/jilu.txt")).find(cp936_encode("打开程序1")), std::string::npos);
}

#endif

TEST(SettingsStore, KeepsOneTextPerApplicationSectionAndKey) {
    TempDir dir;
    const std::string folder = dir.file("config/keeprun");
    {
        FileSettingsStore store(folder);
        EXPECT_EQ(store.get("4061739285_zx20220110", "Startup", "key"), "");
        ASSERT_TRUE(store.save("4061739285_zx20220110", "Startup", "key", "20220110123456*1234"));
        ASSERT_TRUE(store.save("other", "Startup", "key", "  \"quoted\" 值 "));
        ASSERT_TRUE(store.save("../escape", "Startup", "key", "x"));
    }
    FileSettingsStore again(folder); // a new run
    EXPECT_EQ(again.get("4061739285_zx20220110", "Startup", "key"), "20220110123456*1234");
    EXPECT_EQ(again.get("4061739285_zx20220110", "startup", "KEY"), "20220110123456*1234");
    EXPECT_EQ(again.get("other", "Startup", "key"), "  \"quoted\" 值 ");
    EXPECT_EQ(again.get("other", "Startup", "other"), "");
    EXPECT_EQ(again.get("../escape", "Startup", "key"), "x");
    for (const auto& f : std::filesystem::directory_iterator(dir.file("config")))
        EXPECT_EQ(f.path(), folder) << "every file stays inside the store's folder";
    EXPECT_FALSE(again.save("other", "Startup", "key", "two\r\nlines"));
    EXPECT_FALSE(again.save("other", "Start]up", "key", "v"));
    EXPECT_FALSE(again.save("other", "Startup", "k=y", "v"));
    EXPECT_EQ(again.get("other", "Startup", "key"), "  \"quoted\" 值 ");
}

// The POSIX backends; system/win32/ has its own tests.
#ifndef _WIN32
TEST(SettingsStore, TheUsersStoreLivesUnderTheConfigHome) {
    TempDir dir;
    setenv("XDG_CONFIG_HOME", dir.file("cfg").c_str(), 1);
    ASSERT_TRUE(user_settings_store().save("app", "Startup", "key", "0123456789"));
    EXPECT_EQ(user_settings_store().get("app", "Startup", "key"), "0123456789");
    EXPECT_TRUE(std::filesystem::exists(dir.file("cfg/keeprun/app.ini")));
}

TEST(DataFolder, IsMadeWithItsParentsAndReused) {
    TempDir dir;
    setenv("XDG_DATA_HOME", dir.file("a/b").c_str(), 1);
    const DataFolder first = get_data_folder();
    EXPECT_EQ(first.error, "");
    EXPECT_EQ(first.path, dir.file("a/b/keeprun/zx/"));
    EXPECT_TRUE(std::filesystem::is_directory(first.path));
    spit(first.path + "data.ini", "kept");
    EXPECT_EQ(get_data_folder().path, first.path);
    EXPECT_EQ(slurp(first.path + "data.ini"), "kept");

    setenv("XDG_DATA_HOME", "relative/ignored", 1);
    setenv("HOME", dir.file("home").c_str(), 1);
    EXPECT_EQ(get_data_folder().path, dir.file("home/.local/share/keeprun/zx/"));

    spit(dir.file("blocked"), "a file where the folder should be");
    setenv("XDG_DATA_HOME", dir.file("blocked").c_str(), 1);
    const DataFolder blocked = get_data_folder();
    EXPECT_NE(blocked.error, "");
    EXPECT_EQ(blocked.path.back(), '/');
}

mode_t mode_of(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST(DataFolder, IsTheUsersAloneAndRefusedWhenAnotherUserOwnsPartOfIt) {
    TempDir dir;
    setenv("XDG_DATA_HOME", dir.file("d").c_str(), 1);
    const std::string zx = dir.file("d/keeprun/zx/");
    // A folder and files an older version left with the usual permissions.
    spit(zx + "data.ini", "[cx1]\r\n1=/opt/app\r\n");
    spit(zx + "jilu.txt", "");
    chmod(zx.c_str(), 0755);
    chmod((zx + "data.ini").c_str(), 0644);
    chmod((zx + "jilu.txt").c_str(), 0666);
    EXPECT_EQ(get_data_folder().error, "");
    EXPECT_EQ(mode_of(zx), 0700u);
    EXPECT_EQ(mode_of(zx + "data.ini"), 0600u);
    EXPECT_EQ(mode_of(zx + "jilu.txt"), 0600u);
    std::filesystem::remove(zx + "jilu.txt");
    ASSERT_TRUE(save_settings(zx, StoredSettings{}));
    EXPECT_EQ(mode_of(zx + "jilu.txt"), 0600u) << "a new file";

    const uid_t other = getuid() == 0 ? 65534 : getuid();
    if (other == getuid()) GTEST_SKIP() << "only root can give a file to another user";
    for (const char* part : {"", "data.ini", "jilu.txt"}) {
        ASSERT_EQ(chown((zx + part).c_str(), other, static_cast<gid_t>(-1)), 0);
        EXPECT_NE(get_data_folder().error.find("another user"), std::string::npos) << part;
        ASSERT_EQ(chown((zx + part).c_str(), getuid(), static_cast<gid_t>(-1)), 0);
    }
    EXPECT_EQ(get_data_folder().error, "");
}

TEST(SettingsFile, NotifySectionKeepsOtherLinesAndASecretMakesTheFilePrivate) {
    TempDir dir;
    ASSERT_TRUE(save_settings(dir.folder(), StoredSettings{}));
    EXPECT_EQ(cp936_decode(slurp(dir.file("data.ini"))).find("[notify]"), std::string::npos);
    EXPECT_EQ(load_notify_settings(dir.folder()), NotifySettings{});

    spit(dir.file("data.ini"), cp936_encode("; 机房的设置\r\n[foreign]\r\nkey=值\r\n"));
    chmod(dir.file("data.ini").c_str(), 0644);
    StoredSettings saved;
    saved.notify = {"https://oapi.example/robot/send?access_token=T", WebhookKind::dingtalk, "SEC1",
                    event_bit(NoticeEvent::hung) | event_bit(NoticeEvent::timed)};
    ASSERT_TRUE(save_settings(dir.folder(), saved));
    const std::string ini = cp936_decode(slurp(dir.file("data.ini")));
    EXPECT_EQ(ini.rfind("; 机房的设置\r\n[foreign]\r\nkey=值\r\n", 0), 0u) << ini;
    EXPECT_NE(ini.find("[notify]\r\nurl=https://oapi.example/robot/send?access_token=T\r\n"
                       "kind=dingtalk\r\nsecret=SEC1\r\nevents=hung,timed\r\n"),
              std::string::npos)
        << ini;
    EXPECT_EQ(mode_of(dir.file("data.ini")), 0600u);
    EXPECT_EQ(load_notify_settings(dir.folder()), saved.notify);
    // Every event but the timed ones is written as the empty list that means so.
    saved.notify.events = kDefaultNoticeEvents;
    ASSERT_TRUE(save_settings(dir.folder(), saved));
    EXPECT_NE(cp936_decode(slurp(dir.file("data.ini"))).find("events=\r\n"), std::string::npos);
    EXPECT_EQ(load_notify_settings(dir.folder()), saved.notify);
}

TEST(SingleInstance, OnlyOneHolderAtATime) {
    TempDir dir;
    const std::string path = dir.file("keeprun.lock");
    {
        InstanceLock first(path);
        ASSERT_TRUE(first.held());
        InstanceLock second(path);
        EXPECT_FALSE(second.held());
        EXPECT_TRUE(second.taken_by_other());
    }
    InstanceLock after(path);
    EXPECT_TRUE(after.held());
    InstanceLock unusable(dir.file("missing/keeprun.lock"));
    EXPECT_FALSE(unusable.held());
    EXPECT_FALSE(unusable.taken_by_other());
}

TEST(SingleInstance, WithoutARuntimeFolderTheLockIsInAFolderOfTheUsersOwn) {
    const std::string folder = "/tmp/keeprun-" + std::to_string(getuid());
    const std::string lock = folder + "/keeprun.lock";
    unsetenv("XDG_RUNTIME_DIR");
    std::filesystem::remove_all(folder);
    EXPECT_EQ(instance_lock_path(), lock);
    EXPECT_EQ(mode_of(folder), 0700u);
    chmod(folder.c_str(), 0777);
    EXPECT_EQ(instance_lock_path(), lock);
    EXPECT_EQ(mode_of(folder), 0700u) << "made the user's alone again";
    if (getuid() == 0) {
        ASSERT_EQ(chown(folder.c_str(), 65534, 65534), 0);
        EXPECT_EQ(instance_lock_path(), "") << "another user's folder";
    }
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory_symlink("/tmp", folder);
    EXPECT_EQ(instance_lock_path(), "") << "a link";
    std::filesystem::remove(folder);
    EXPECT_EQ(instance_lock_path(), lock);
}

#endif

} // namespace
} // namespace keeprun
