#include "system/codepage.h"

#include <cerrno>
#include <iconv.h>

#include "system/utf.h"

namespace keeprun {
namespace {

class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as it can; returns the number of input bytes consumed.
    std::size_t run(std::string_view in, std::string& out) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return 0;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t left = in.size();
        char buf[4096];
        while (left > 0) {
            char* dst = buf;
            std::size_t room = sizeof buf;
            const std::size_t r = iconv(cd_, &src, &left, &dst, &room);
            out.append(buf, static_cast<std::size_t>(dst - buf));
            if (r == static_cast<std::size_t>(-1) && errno != E2BIG) break;
        }
        return in.size() - left;
    }

  private:
    iconv_t cd_;
};

Converter& decoder() {
    thread_local Converter c("UTF-8", "GB18030");
    return c;
}

Converter& encoder() {
    thread_local Converter c("GB18030", "UTF-8");
    return c;
}

} // namespace

std::string cp936_decode(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    while (!bytes.empty()) {
        const std::size_t used = decoder().run(bytes, out);
        bytes.remove_prefix(used);
        if (bytes.empty()) break;
        // The byte that stopped the converter: the euro sign or an undecodable byte.
        out += static_cast<unsigned char>(bytes.front()) == 0x80 ? "\u20AC" : "\uFFFD";
        bytes.remove_prefix(1);
    }
    return out;
}

std::string cp936_encode(std::string_view utf8) {
    // Round through UTF-16 so invalid UTF-8 becomes U+FFFD instead of stopping iconv.
    const std::string clean = from_u16(to_u16(utf8));
    static constexpr std::string_view euro = "\u20AC";
    std::string out;
    std::string_view rest = clean;
    while (!rest.empty()) {
        // Code page 936 writes the euro sign as the single byte 0x80.
        const std::size_t cut = rest.find(euro);
        const std::string_view part = rest.substr(0, cut);
        if (encoder().run(part, out) != part.size()) out += '?';
        if (cut == std::string_view::npos) break;
        out += '\x80';
        rest.remove_prefix(cut + euro.size());
    }
    return out;
}

} // namespace keeprun
