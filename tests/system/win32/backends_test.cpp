// The Windows backends against the real system (under Wine in ./test).
#include <gtest/gtest.h>

#include <windows.h>

#include <aclapi.h>
#include <objbase.h>
#include <sddl.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>

#include "system/autostart.h"
#include "system/data_folder.h"
#include "system/file_io.h"
#include "system/process.h"
#include "system/settings_store.h"
#include "system/shortcut.h"
#include "system/single_instance.h"
#include "system/win32/data_folder_win32.h"
#include "system/win32/process_win32.h"
#include "system/win32/wide_win32.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wait_until.h"

namespace keeprun {
namespace {

using testing::TempDir;
using testing::wait_until;

// The helper copied to `folder`, so each test has a program path of its own.
std::string helper_in(const std::string& folder, const std::string& name) {
    std::filesystem::create_directories(std::filesystem::u8path(folder));
    const auto to = std::filesystem::u8path(folder + "\\" + name);
    std::filesystem::copy_file(HELPER_PROGRAM, to);
    return folder + "\\" + name;
}

bool has_row(const std::string& upper_path) {
    std::vector<WinProcessRow> table;
    list_processes(table);
    for (const auto& row : table)
        if (row.exe == upper_path) return true;
    return false;
}

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
}

TEST(Win32Process, AStartedProgramIsFoundEndedAndNotMistakenAfterwards) {
    TempDir dir;
    const std::string program = helper_in(dir.path().string() + "\\a", "slot prog.exe");
    const std::string twin = helper_in(dir.path().string() + "\\b", "slot prog.exe");
    ASSERT_EQ(is_program_running(program, {}), 0);
    ASSERT_TRUE(open_program(program));
    ASSERT_TRUE(wait_until([&] { return is_program_running(program, {}) == 1; }));
    EXPECT_TRUE(has_row(upper(program))) << "the command line's head, upper case";
    EXPECT_EQ(is_program_running(twin, {}), 0) << "same name, other folder";
    const ExeAliasTable aliases = {{"LAUNCHER.EXE", "SLOT PROG.EXE"}};
    EXPECT_EQ(is_program_running(dir.path().string() + "\\a\\launcher.exe", aliases), 1);

    close_program(twin);
    EXPECT_EQ(is_program_running(program, {}), 1) << "closing the twin leaves it";
    close_program(program);
    EXPECT_TRUE(wait_until([&] { return is_program_running(program, {}) == 0; }));
    EXPECT_FALSE(open_program(dir.path().string() + "\\missing.exe"));
    const std::string broken = dir.path().string() + "\\broken.exe";
    ASSERT_TRUE(write_file_atomic(broken, "not a program"));
    EXPECT_FALSE(open_program(broken)) << "a file that is no program";
    EXPECT_FALSE(open_program(program, {"", dir.path().string() + "\\gone"}))
        << "a start folder that is gone";
}

TEST(Win32Process, APinHoldsWhileItsProcessLives) {
    TempDir dir;
    const std::string program = helper_in(dir.path().string(), "pinned.exe");
    EXPECT_FALSE(find_pinned(program, {}));
    EXPECT_FALSE(open_pinned(dir.path().string() + "\\missing.exe"));

    // Started with a pin, then ended from outside.
    const PinnedProcess started = open_pinned(program);
    ASSERT_TRUE(started);
    EXPECT_TRUE(pin_holds(*started));
    ASSERT_TRUE(wait_until([&] { return is_program_running(program, {}) == 1; }));
    close_program(program);
    EXPECT_TRUE(wait_until([&] { return !pin_holds(*started); }));

    // Found by a walk (here through an alias row), then ended through the pin.
    ASSERT_TRUE(open_program(program));
    PinnedProcess found;
    ASSERT_TRUE(wait_until([&] {
        found =
            find_pinned(dir.path().string() + "\\launcher.exe", {{"LAUNCHER.EXE", "PINNED.EXE"}});
        return found != nullptr;
    }));
    EXPECT_TRUE(pin_holds(*found));
    kill_pinned(*found);
    EXPECT_TRUE(wait_until([&] { return !pin_holds(*found); }));
    EXPECT_TRUE(wait_until([&] { return is_program_running(program, {}) == 0; }));
}

TEST(Win32Process, TheInstanceMutexHoldsAcrossProcesses) {
    TempDir dir;
    const std::string name = "Local\\keeprun-test-" + std::to_string(GetCurrentProcessId());
    const std::string holder = helper_in(dir.path().string(), "holder.exe");
    ASSERT_TRUE(start_detached({holder, name}));
    EXPECT_TRUE(wait_until([&] { return InstanceLock(name).taken_by_other(); }));
    close_program(holder);
    EXPECT_TRUE(wait_until([&] { return InstanceLock(name).held(); }));

    // An administrator's keeprun: its mutex grants this user nothing.
    PSECURITY_DESCRIPTOR nobody = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:", SDDL_REVISION_1,
                                                                     &nobody, nullptr));
    SECURITY_ATTRIBUTES attributes{sizeof attributes, nobody, FALSE};
    const HANDLE elevated = CreateMutexW(&attributes, FALSE, widen(name + "-admin").c_str());
    ASSERT_TRUE(elevated);
    const InstanceLock second(name + "-admin");
    EXPECT_TRUE(second.taken_by_other());
    EXPECT_FALSE(second.held());
    CloseHandle(elevated);
    LocalFree(nobody);
}

TEST(Win32Store, TextsRoundTripThroughTheRegistry) {
    const std::string app = "keeprun-test-" + std::to_string(GetCurrentProcessId());
    SettingsStore& store = user_settings_store();
    EXPECT_EQ(store.get(app, "Startup", "key"), "");
    const char* values[] = {"20220110123456*1234", "  \"quoted\" 值 ", ""};
    for (const char* value : values) {
        ASSERT_TRUE(store.save(app, "Startup", "key", value));
        EXPECT_EQ(store.get(app, "Startup", "key"), value);
    }
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER,
                            (L"Software\\VB and VBA Program Settings\\" + widen(app)).c_str(), 0,
                            KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
    RegDeleteTreeW(HKEY_CURRENT_USER,
                   (L"Software\\VB and VBA Program Settings\\" + widen(app)).c_str());
}

TEST(Win32Store, StartAtLoginIsTheQuotedPathInTheRunKey) {
    const std::string program = "C:\\Program Files\\keeprun 程序\\keeprun.exe";
    const wchar_t approved_key[] =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
    const auto switch_in_task_manager = [&](BYTE state) {
        const BYTE value[12] = {state};
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, approved_key, L"keeprun", REG_BINARY, value,
                                  sizeof value),
                  ERROR_SUCCESS);
    };
    for (int round = 0; round < 2; ++round) { // a second switch-on or -off changes nothing
        // Qt's path has forward slashes; a switch-off in Task Manager is undone.
        ASSERT_EQ(set_autostart(true, "C:/Program Files/keeprun 程序/keeprun.exe"), "");
        EXPECT_TRUE(autostart_enabled());
        switch_in_task_manager(3);
        EXPECT_FALSE(autostart_enabled());
        switch_in_task_manager(2);
        EXPECT_TRUE(autostart_enabled());
        switch_in_task_manager(3);
    }
    const auto run_value = [&] {
        wchar_t text[MAX_PATH] = {};
        DWORD bytes = sizeof text;
        RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                     L"keeprun", RRF_RT_REG_SZ, nullptr, text, &bytes);
        return narrow(text);
    };
    EXPECT_EQ(run_value(), "\"" + program + "\" --login");
    // What an older keeprun wrote gets the option, switched off in Task Manager
    // or not; another program's value, or one edited by hand, stays.
    const std::string older = "\"" + program + "\"";
    const std::pair<std::string, std::string> updates[] = {
        {older, older + " --login"},
        {"\"C:\\other\\keeprun.exe\"", "\"C:\\other\\keeprun.exe\""},
        {older + " /min", older + " /min"},
    };
    for (const auto& [before, after] : updates) {
        const std::wstring wide = widen(before);
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER,
                                  L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"keeprun",
                                  REG_SZ, wide.c_str(),
                                  static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        update_autostart_entry("C:/Program Files/keeprun 程序/keeprun.exe");
        EXPECT_EQ(run_value(), after) << before;
    }
    EXPECT_FALSE(autostart_enabled()) << "still switched off in Task Manager";
    ASSERT_EQ(set_autostart(true, program), "");
    EXPECT_TRUE(autostart_enabled());
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(set_autostart(false, program), "");
        EXPECT_FALSE(autostart_enabled());
    }
}

TEST(Win32Files, TheDataFolderGoesToTheFirstFixedDriveThatCanHoldIt) {
    const std::vector<std::string> drives{"d:\\", "c:\\", "e:\\"};
    // The drives that refuse the folder, and the folder chosen.
    const std::pair<std::vector<std::string>, DataFolder> cases[] = {
        {{}, {"d:\\zx\\", ""}},
        {{"d:\\zx"}, {"c:\\zx\\", ""}},
        {{"d:\\zx", "c:\\zx"}, {"e:\\zx\\", ""}},
        {{"d:\\zx", "c:\\zx", "e:\\zx"}, {"d:\\zx\\", "refused d:\\zx"}},
    };
    for (const auto& [refusing, want] : cases) {
        const DataFolder got = choose_data_folder(drives, [&](const std::string& folder) {
            return std::count(refusing.begin(), refusing.end(), folder) ? "refused " + folder
                                                                        : std::string();
        });
        EXPECT_EQ(got.path, want.path);
        EXPECT_EQ(got.error, want.error);
    }
    EXPECT_EQ(choose_data_folder({}, make_folders).path, "c:\\zx\\") << "no fixed drive";
}

TEST(Win32Files, DataFolderAndFilesUnderWidePaths) {
    const DataFolder folder = get_data_folder();
    EXPECT_EQ(folder.error, "");
    EXPECT_EQ(folder.path.substr(1), ":\\zx\\");
    EXPECT_EQ(GetDriveTypeA(folder.path.substr(0, 3).c_str()), static_cast<UINT>(DRIVE_FIXED));

    TempDir dir;
    const std::string file = dir.path().string() + "\\配置\\数据.ini";
    EXPECT_EQ(make_folders(dir.path().string() + "\\配置"), "");
    for (const char* bytes : {"first", "second, longer"}) {
        ASSERT_TRUE(write_file_atomic(file, bytes));
        EXPECT_EQ(read_file_bytes(file), bytes);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(
                                std::filesystem::u8path(dir.path().string() + "\\配置")),
                            std::filesystem::directory_iterator{}),
              1);
    EXPECT_FALSE(read_file_bytes(dir.path().string()).has_value()) << "a folder";
}

// The SIDs of the entries of a file's or folder's access list.
std::vector<std::string> access_list(const std::string& path) {
    PACL acl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(widen(path).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, &acl, nullptr, &descriptor) != ERROR_SUCCESS)
        return {};
    std::vector<std::string> sids;
    for (DWORD i = 0; acl && i < acl->AceCount; ++i) {
        void* ace = nullptr;
        GetAce(acl, i, &ace);
        wchar_t* text = nullptr;
        ConvertSidToStringSidW(&static_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart, &text);
        sids.push_back(narrow(text));
        LocalFree(text);
    }
    LocalFree(descriptor);
    return sids;
}

// Everyone may write: the drive's permissions an older version left on the folder.
void open_to_everyone(const std::string& path) {
    EXPLICIT_ACCESSW everyone{};
    BuildExplicitAccessWithNameW(&everyone, const_cast<LPWSTR>(L"EVERYONE"), GENERIC_ALL,
                                 SET_ACCESS, SUB_CONTAINERS_AND_OBJECTS_INHERIT);
    PACL open = nullptr;
    ASSERT_EQ(SetEntriesInAclW(1, &everyone, nullptr, &open), static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_EQ(
        SetNamedSecurityInfoW(const_cast<LPWSTR>(widen(path).c_str()), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, open, nullptr),
        static_cast<DWORD>(ERROR_SUCCESS));
    LocalFree(open);
}

TEST(Win32Files, TheDataFolderAndItsFilesAreOnlyTheUsersSystemsAndAdministrators) {
    const std::string folder = get_data_folder().path;
    const std::string ini = folder + "data.ini";
    ASSERT_TRUE(write_file_atomic(ini, "[cx1]\r\n"));
    const auto holds = [](const std::vector<std::string>& sids, const std::string& sid) {
        return std::ranges::find(sids, sid) != sids.end();
    };
    for (const std::string& path : {folder, ini}) {
        open_to_everyone(path);
        ASSERT_TRUE(holds(access_list(path), "S-1-1-0")) << path;
    }
    EXPECT_EQ(get_data_folder().error, "");
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    unsigned char buffer[256];
    DWORD size = sizeof buffer;
    ASSERT_TRUE(GetTokenInformation(token, TokenUser, buffer, size, &size));
    CloseHandle(token);
    wchar_t* text = nullptr;
    ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text);
    const std::string user = narrow(text);
    LocalFree(text);
    // Wine keeps only what file modes can say (the user, SYSTEM, everyone);
    // Windows keeps Administrators too.
    const std::vector<std::string> allowed{user, "S-1-5-18", "S-1-5-32-544"};
    for (const std::string& path : {folder, ini}) {
        const std::vector<std::string> sids = access_list(path);
        EXPECT_TRUE(holds(sids, user)) << path;
        for (const std::string& sid : sids)
            EXPECT_TRUE(holds(allowed, sid)) << path << ": " << sid;
    }
}

TEST(Win32Shortcut, ALinkGivesItsTargetArgumentsAndStartFolder) {
    TempDir dir;
    const std::string target = helper_in(dir.path().string(), "程序.exe");
    const std::string lnk = dir.path().string() + "\\程序.lnk";
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkW, reinterpret_cast<void**>(&link))));
    link->SetPath(widen(target).c_str());
    link->SetArguments(L"-w \"a b\"");
    link->SetWorkingDirectory(L"%SystemRoot%\\Temp");
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
    ASSERT_TRUE(SUCCEEDED(file->Save(widen(lnk).c_str(), TRUE)));
    file->Release();
    link->Release();
    CoUninitialize();

    const auto shortcut = read_shortcut(lnk);
    ASSERT_TRUE(shortcut.has_value());
    EXPECT_EQ(shortcut->target, target);
    EXPECT_EQ(shortcut->start.arguments, "-w \"a b\"");
    EXPECT_EQ(upper(shortcut->start.folder), "C:\\WINDOWS\\TEMP") << "variables expanded";
    EXPECT_FALSE(read_shortcut(dir.path().string() + "\\none.lnk").has_value());
}

} // namespace
} // namespace keeprun
