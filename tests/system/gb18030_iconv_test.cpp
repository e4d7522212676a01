// The portable GB18030 codec against glibc's iconv, whose mapping the files written so far rely
// on: every two-byte code, every four-byte code of the BMP area, every BMP character, and a
// sample of the codes and characters above it.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <iconv.h>
#include <string>
#include <string_view>

#include "system/codepage.h"
#include "system/utf.h"

using namespace keeprun;

namespace {

class Iconv {
  public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts until iconv stops; returns the bytes it used.
    std::size_t run(std::string_view in, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t left = in.size();
        char buf[64];
        char* dst = buf;
        std::size_t room = sizeof buf;
        iconv(cd_, &src, &left, &dst, &room);
        out.append(buf, static_cast<std::size_t>(dst - buf));
        return in.size() - left;
    }

  private:
    iconv_t cd_;
};

// iconv with the rules code page 936 adds: where it stops, 0x80 is the euro sign and any other
// byte U+FFFD, and decoding goes on with the next byte.
std::string iconv_decode(std::string_view bytes) {
    static Iconv iconv("UTF-8", "GB18030");
    std::string out;
    while (!bytes.empty()) {
        bytes.remove_prefix(iconv.run(bytes, out));
        if (bytes.empty()) break;
        out += static_cast<unsigned char>(bytes.front()) == 0x80 ? "\u20AC" : "\uFFFD";
        bytes.remove_prefix(1);
    }
    return out;
}

// One character; the euro sign is 0x80 and a character iconv has no code for "?".
std::string iconv_encode(std::string_view character) {
    static Iconv iconv("GB18030", "UTF-8");
    if (character == "\u20AC") return "\x80";
    std::string out;
    return iconv.run(character, out) == character.size() ? out : "?";
}

std::string hex(std::string_view bytes) {
    std::string s;
    char buf[4];
    for (const unsigned char b : bytes) {
        std::snprintf(buf, sizeof buf, "%02X ", b);
        s += buf;
    }
    return s;
}

// Reports the first few differences of a long sweep, then only counts them.
class Differences {
  public:
    void check_decode(const std::string& bytes) {
        const std::string got = cp936_decode(bytes), want = iconv_decode(bytes);
        if (got != want && ++count_ <= 10)
            ADD_FAILURE() << "decoding " << hex(bytes) << "gave " << hex(got) << "iconv "
                          << hex(want);
    }
    void check_encode(char32_t cp) {
        std::string text;
        append_utf8(text, cp);
        const std::string got = cp936_encode(text), want = iconv_encode(text);
        const std::string back = want == "?" ? text : cp936_decode(got);
        if ((got != want || back != text) && ++count_ <= 10)
            ADD_FAILURE() << "encoding U+" << std::hex << static_cast<unsigned>(cp) << " gave "
                          << hex(got) << "iconv " << hex(want) << "read back " << hex(back);
    }
    ~Differences() { EXPECT_EQ(count_, 0); }

  private:
    int count_ = 0;
};

std::string four_bytes(std::uint32_t index) {
    return {static_cast<char>(0x81 + index / 12600), static_cast<char>(0x30 + index / 1260 % 10),
            static_cast<char>(0x81 + index / 10 % 126), static_cast<char>(0x30 + index % 10)};
}

constexpr std::uint32_t bmp_four_byte_end = 39420; // 0x8431A530, past the BMP's last code
constexpr std::uint32_t four_byte_end = 126 * 10 * 126 * 10;

} // namespace

TEST(Gb18030AgainstIconv, ConvertersExist) {
    EXPECT_TRUE(Iconv("UTF-8", "GB18030").ok());
}

TEST(Gb18030AgainstIconv, EveryPairOfBytes) {
    // Two-byte codes, bad second bytes, and four-byte codes cut after two bytes.
    Differences d;
    for (unsigned first = 0x80; first <= 0xFF; ++first)
        for (unsigned second = 0; second <= 0xFF; ++second)
            d.check_decode({static_cast<char>(first), static_cast<char>(second)});
}

TEST(Gb18030AgainstIconv, FourByteCodes) {
    Differences d;
    for (std::uint32_t index = 0; index < bmp_four_byte_end; ++index)
        d.check_decode(four_bytes(index));
    for (std::uint32_t index = bmp_four_byte_end; index < four_byte_end; index += 53)
        d.check_decode(four_bytes(index));
    for (const std::uint32_t index : {189000u - 1, 189000u, 189000u + 0x10FFFF - 0x10000,
                                      189000u + 0x10FFFF - 0xFFFF, four_byte_end - 1})
        d.check_decode(four_bytes(index));
    // A bad third or fourth byte, and codes cut after three bytes.
    for (unsigned b = 0; b <= 0xFF; ++b) {
        const char c = static_cast<char>(b);
        d.check_decode({'\x81', '\x30', c, '\x30'});
        d.check_decode({'\x81', '\x30', '\x81', c});
        d.check_decode({'\x90', '\x30', c});
    }
}

TEST(Gb18030AgainstIconv, EveryBmpCharacterAndASampleAbove) {
    Differences d;
    for (char32_t cp = 0; cp <= 0xFFFF; ++cp)
        if (cp < 0xD800 || cp > 0xDFFF) d.check_encode(cp);
    // The block holding the characters that also have a two-byte code, then a sample.
    for (char32_t cp = 0x20000; cp <= 0x2A6DF; ++cp)
        d.check_encode(cp);
    for (char32_t cp = 0x10000; cp <= 0x10FFFF; cp += 89)
        d.check_encode(cp);
    d.check_encode(0x10FFFF);
}
