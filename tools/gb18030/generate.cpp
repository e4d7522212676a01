// Prints system/gb18030_table.cpp: GB18030 as glibc's iconv maps it, read code by code, so the
// Windows build (which has no iconv) decodes and encodes code page 936 exactly as Linux did.
// Stops with a message when iconv does something the codec's layout cannot hold.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t supplementary_first_index = 189000; // 0x90308130
constexpr std::uint32_t four_byte_count = 126 * 10 * 126 * 10;
constexpr std::uint32_t unmapped = 0xFFFFFFFF;

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "gb18030 tables: %s\n", why.c_str());
    std::exit(1);
}

iconv_t open(const char* to, const char* from) {
    const iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) fail(std::string("no iconv from ") + from);
    return cd;
}

// The one code point iconv makes of exactly these bytes, or unmapped.
std::uint32_t decode(iconv_t cd, std::string bytes) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = bytes.data();
    std::size_t in_left = bytes.size();
    char buf[16];
    char* out = buf;
    std::size_t out_left = sizeof buf;
    if (iconv(cd, &in, &in_left, &out, &out_left) == static_cast<std::size_t>(-1)) return unmapped;
    if (in_left != 0 || out - buf != 4) fail("a code that is not one character");
    std::uint32_t cp;
    std::memcpy(&cp, buf, 4);
    return cp;
}

// The bytes iconv writes for one code point; empty when it has none.
std::string encode(iconv_t cd, std::uint32_t cp) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = reinterpret_cast<char*>(&cp);
    std::size_t in_left = 4;
    char buf[16];
    char* out = buf;
    std::size_t out_left = sizeof buf;
    if (iconv(cd, &in, &in_left, &out, &out_left) == static_cast<std::size_t>(-1)) {
        if (errno != EILSEQ) fail("encoding stopped for another reason than a missing character");
        return {};
    }
    return std::string(buf, static_cast<std::size_t>(out - buf));
}

std::string two_bytes(unsigned lead, unsigned trail) {
    return {static_cast<char>(lead), static_cast<char>(trail)};
}

std::string four_bytes(std::uint32_t index) {
    return {static_cast<char>(0x81 + index / 12600), static_cast<char>(0x30 + index / 1260 % 10),
            static_cast<char>(0x81 + index / 10 % 126), static_cast<char>(0x30 + index % 10)};
}

std::string hex(std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%04X", v);
    return buf;
}

struct Run {
    std::uint32_t first_index, first_code_point, length;
};

struct Pair {
    std::uint32_t code, code_point;
};

} // namespace

int main() {
    const iconv_t dec = open("UTF-32LE", "GB18030");
    const iconv_t enc = open("GB18030", "UTF-32LE");

    // What the bytes say.
    for (unsigned b = 0; b < 0x100; ++b)
        if (decode(dec, std::string(1, static_cast<char>(b))) != (b < 0x80 ? b : unmapped))
            fail("a single byte other than ASCII");
    std::vector<std::string> code_of(0x110000);
    std::vector<std::uint32_t> two_byte;
    std::vector<Pair> above_bmp;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0; trail <= 0xFF; ++trail) {
            if (trail >= 0x30 && trail <= 0x39) continue; // the start of a four-byte code
            const bool in_area = trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
            const std::uint32_t cp = decode(dec, two_bytes(lead, trail));
            if (!in_area) {
                if (cp != unmapped) fail("a two-byte code outside the area");
                continue;
            }
            if (cp == unmapped || cp == 0) fail("an undecodable two-byte code");
            if (!code_of[cp].empty()) fail("two two-byte codes for one character");
            code_of[cp] = two_bytes(lead, trail);
            two_byte.push_back(cp);
            if (cp > 0xFFFF) above_bmp.push_back({lead << 8 | trail, cp});
        }
    }
    std::vector<Run> runs;
    for (std::uint32_t index = 0; index < supplementary_first_index; ++index) {
        const std::string b = four_bytes(index);
        const std::uint32_t cp = decode(dec, b);
        if (cp == unmapped) continue;
        if (cp > 0xFFFF) fail("a four-byte code below 0x90308130 outside the BMP");
        if (!code_of[cp].empty()) fail("a BMP character with two codes");
        code_of[cp] = b;
        Run* last = runs.empty() ? nullptr : &runs.back();
        if (last && last->first_index + last->length == index &&
            last->first_code_point + last->length == cp) {
            ++last->length;
        } else {
            runs.push_back({index, cp, 1});
        }
    }
    for (std::uint32_t index = supplementary_first_index; index < four_byte_count; ++index) {
        const std::uint32_t cp = index - supplementary_first_index + 0x10000;
        if (decode(dec, four_bytes(index)) != (cp <= 0x10FFFF ? cp : unmapped))
            fail("the planes above the BMP not linear from 0x90308130");
    }

    // What the characters say: the inverse, with the two-byte code first where there are two.
    for (std::uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        std::string want = cp < 0x80 ? std::string(1, static_cast<char>(cp)) : code_of[cp];
        if (cp > 0xFFFF && want.empty())
            want = four_bytes(cp - 0x10000 + supplementary_first_index);
        if (encode(enc, cp) != want) fail("encoding " + hex(cp) + " is not the inverse");
    }

    std::printf("// Made by tools/gb18030/make.sh from glibc's iconv \"GB18030\": do not edit.\n"
                "#include \"system/gb18030_table.h\"\n\n"
                "namespace keeprun::gb18030 {\n\n"
                "const std::uint16_t two_byte[two_byte_count] = {\n");
    for (std::uint32_t cp : two_byte)
        std::printf("%s,", hex(cp > 0xFFFF ? 0 : cp).c_str());
    std::printf("};\n\nnamespace {\nconstexpr TwoByteAbove above[] = {\n");
    for (const Pair& a : above_bmp)
        std::printf("{%s, %s},", hex(a.code).c_str(), hex(a.code_point).c_str());
    std::printf("};\nconstexpr FourByteRun runs[] = {\n");
    for (const Run& r : runs)
        std::printf("{%u, %s, %u},", r.first_index, hex(r.first_code_point).c_str(), r.length);
    std::printf("};\n} // namespace\n\n"
                "const std::span<const TwoByteAbove> two_byte_above_bmp = above;\n"
                "const std::span<const FourByteRun> four_byte_bmp = runs;\n\n"
                "} // namespace keeprun::gb18030\n");
    std::fprintf(stderr, "%zu two-byte codes (%zu above the BMP), %zu four-byte runs\n",
                 two_byte.size(), above_bmp.size(), runs.size());
    return 0;
}
