#include <gtest/gtest.h>

#include "system/codepage.h"
#include "system/files.h"
#include "system/ini.h"
#include "tests/support/temp_dir.h"

namespace keeprun {
namespace {

using testing::slurp;
using testing::spit;
using testing::TempDir;

struct GetCase {
    const char* name;
    std::string file; // UTF-8, encoded to code page 936 before reading
    const char* section;
    const char* key;
    std::optional<std::string> want;
};

TEST(IniText, FindsValuesAsTheProfileFunctionsDo) {
    const GetCase cases[] = {
        {"plain", "[gx]\r\n0=1\r\n", "gx", "0", "1"},
        {"letter case of section and key", "[GX]\r\nKey=v\r\n", "gx", "kEY", "v"},
        {"blanks around names and value", "  [ gx ]  \r\n  a  = \t v w \t\r\n", "gx", "a", "v w"},
        {"one pair of double quotes dropped", "[s]\r\na=\"\"x\"\"\r\n", "s", "a", "\"x\""},
        {"single quotes dropped", "[s]\r\na= 'x y' \r\n", "s", "a", "x y"},
        {"unmatched quote kept", "[s]\r\na=\"x\r\n", "s", "a", "\"x"},
        {"empty value is present", "[s]\r\na=\r\n", "s", "a", ""},
        {"key of another section", "[s]\r\n[t]\r\na=1\r\n", "s", "a", std::nullopt},
        {"missing section", "[t]\r\na=1\r\n", "s", "a", std::nullopt},
        {"first key wins", "[s]\r\na=1\r\na=2\r\n", "s", "a", "1"},
        {"first section wins", "[s]\r\nb=1\r\n[s]\r\na=2\r\n", "s", "a", std::nullopt},
        {"lone line feeds", "[s]\na=1\nb=2", "s", "b", "2"},
        {"value holds an equals sign", "[s]\r\na=b=c\r\n", "s", "a", "b=c"},
        {"line without equals sign", "[s]\r\nab\r\n", "s", "ab", std::nullopt},
        // The second byte of 乚 in code page 936 is "]": decoding comes first.
        {"bracket byte inside a character", "[乚乚]\r\n键=值乚\r\n", "乚乚", "键", "值乚"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IniText(cp936_encode(c.file)).get(c.section, c.key), c.want) << c.name;
}

struct SetCase {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

TEST(IniText, ChangesOnlyTheLineConcerned) {
    const SetCase cases[] = {
        {"empty file", "", "gx", "0", "1", "[gx]\r\n0=1\r\n"},
        {"new section at the end", "[a]\r\nx=1\r\n", "b", "y", "2", "[a]\r\nx=1\r\n[b]\r\ny=2\r\n"},
        {"no final line break", "[a]\r\nx=1", "b", "y", "2", "[a]\r\nx=1\r\n[b]\r\ny=2\r\n"},
        {"value replaced in place", "; c\r\n[A]\r\nX = old \r\nz=9\r\n", "a", "x", "new",
         "; c\r\n[A]\r\nx=new\r\nz=9\r\n"},
        {"new key after the last filled line", "[a]\r\nx=1\r\n\r\n[b]\r\n", "a", "y", "2",
         "[a]\r\nx=1\r\ny=2\r\n\r\n[b]\r\n"},
        {"new key in a last section without line break", "[a]\r\nx=1", "a", "y", "2",
         "[a]\r\nx=1\r\ny=2\r\n"},
        {"empty section", "[a]\r\n[b]\r\n", "a", "y", "2", "[a]\r\ny=2\r\n[b]\r\n"},
        {"header cut after its CR", "[a]\r", "a", "y", "2", "[a]\r\ny=2\r\n"},
        {"last line cut after its CR", "[a]\r\nx=1\r", "a", "y", "2", "[a]\r\nx=1\r\ny=2\r\n"},
        {"new section after a line cut after its CR", "[a]\r\nx=1\r", "b", "y", "2",
         "[a]\r\nx=1\r\n[b]\r\ny=2\r\n"},
    };
    for (const auto& c : cases) {
        IniText ini(c.before);
        ini.set(c.section, c.key, c.value);
        EXPECT_EQ(ini.bytes(), c.after) << c.name;
    }
}

TEST(IniText, KeepsUndecodableBytesOfOtherLines) {
    const std::string odd = "junk=\xFF\x80\xFE\r\n";
    IniText ini("[a]\r\n" + odd + "x=1\r\n");
    ini.set("a", "x", "汉字");
    EXPECT_EQ(ini.bytes(), "[a]\r\n" + odd + "x=" + cp936_encode("汉字") + "\r\n");
}

TEST(IniFile, LineBreaksTravelAsMarkers) {
    TempDir dir;
    const std::string url = dir.file("data.ini");
    ASSERT_TRUE(write_ini("cx1", "1", "a\r\nb[vbcrlf]c\nd\re", url));
    // CR LF and a lone LF become the marker; a lone CR is written as it is.
    EXPECT_EQ(slurp(url), "[cx1]\r\n1=a[vbcrlf]b[vbcrlf]c[vbcrlf]d\re\r\n");
    ASSERT_TRUE(write_ini("cx1", "2", "x\r\ny", url));
    EXPECT_EQ(read_ini("CX1", "2", url), "x\r\ny");
    // A marker written by hand also comes back as a line break.
    EXPECT_EQ(read_ini("cx1", "1", url), "a\r\nb\r\nc\r\nd\re");
}

TEST(IniFile, ALoneLineFeedStaysInsideItsValue) {
    TempDir dir;
    const std::string url = dir.file("data.ini");
    // A dropped program's file name may hold a line feed.
    ASSERT_TRUE(write_ini("cx1", "1", "/opt/tool\n[cx2]\n1=/opt/other", url));
    EXPECT_EQ(read_ini("cx2", "1", url), "");
    EXPECT_EQ(read_ini("cx1", "1", url), "/opt/tool\r\n[cx2]\r\n1=/opt/other");
}

TEST(IniFile, ReadsAtMostTheBufferWithoutSplittingACharacter) {
    TempDir dir;
    const std::string url = dir.file("big.ini");
    struct Case {
        std::string value;
        std::size_t want_bytes; // in code page 936
    } cases[] = {
        {std::string(30000, 'a'), 25599},
        {std::string(25599, 'b'), 25599},
        {[] {
             std::string s;
             for (int i = 0; i < 13000; ++i)
                 s += "汉";
             return s;
         }(),
         25598},
    };
    for (const auto& c : cases) {
        spit(url, cp936_encode("[s]\r\nk=" + c.value + "\r\n"));
        const std::string got = read_ini("s", "k", url);
        EXPECT_EQ(cp936_encode(got).size(), c.want_bytes);
        EXPECT_EQ(got, c.value.substr(0, got.size()));
    }
}

TEST(IniFile, MissingOrOddFilesReadEmptyAndNeverGetReplacedBlindly) {
    TempDir dir;
    EXPECT_EQ(read_ini("gx", "0", dir.file("none.ini")), "");
    // A folder cannot be read: writing must not replace it by a file.
    std::filesystem::create_directory(dir.file("folder.ini"));
    EXPECT_FALSE(write_ini("gx", "0", "1", dir.file("folder.ini")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("folder.ini")));
    EXPECT_FALSE(write_ini("gx", "0", "1", dir.file("missing/data.ini")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));

    std::string noise;
    for (int i = 0; i < 200000; ++i)
        noise += static_cast<char>((i * 7919) % 256);
    spit(dir.file("noise.ini"), noise + "\r\n[gx]\r\n0=1\r\n");
    EXPECT_EQ(read_ini("gx", "0", dir.file("noise.ini")), "1");
    ASSERT_TRUE(write_ini("gx", "0", "2", dir.file("noise.ini")));
    EXPECT_EQ(slurp(dir.file("noise.ini")), noise + "\r\n[gx]\r\n0=2\r\n");
}

TEST(DataFiles, StringsAreTrimmedAndEndedByALineBreak) {
    TempDir dir;
    const std::string path = dir.file("jilu.txt");
    EXPECT_EQ(read_text_file(path), "");
    EXPECT_TRUE(std::filesystem::exists(path)) << "a missing file is left behind empty";
    ASSERT_TRUE(write_text_file(path, "  第一\r\n第二  "));
    EXPECT_EQ(slurp(path), cp936_encode("第一\r\n第二\r\n"));
    EXPECT_EQ(read_text_file(path), "第一\r\n第二\r\n");
    EXPECT_FALSE(write_text_file(dir.file("missing/jilu.txt"), "x"));
}

TEST(DataFiles, BytesOverwriteTheHeadAndKeepTheTail) {
    TempDir dir;
    const std::string path = dir.file("b.bin");
    spit(path, "abcdef");
    ASSERT_TRUE(write_file_start(path, {'X', 'Y'}));
    EXPECT_EQ(slurp(path), "XYcdef");
    std::vector<unsigned char> head(3, '-');
    read_file_start(path, head);
    EXPECT_EQ(std::string(head.begin(), head.end()), "XYc");
    std::vector<unsigned char> more(8, '-');
    read_file_start(path, more);
    EXPECT_EQ(std::string(more.begin(), more.end()), "XYcdef--");
    ASSERT_TRUE(write_file_start(dir.file("new.bin"), {'1'}));
    EXPECT_EQ(slurp(dir.file("new.bin")), "1");
}

} // namespace
} // namespace keeprun
