// The server's configuration text over any reply body, decoded from code page
// 936 as the request routine does, then applied section by section.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzzing/support.h"
#include "net/config_sections.h"
#include "system/codepage.h"

using keeprun::fuzz::require;

namespace {

// Checks each call against what the main window can take, in the order applied.
class CheckingTarget final : public keeprun::ConfigTarget {
  public:
    void set_caption(const std::string&) override { step(0); }
    void set_exit_link(const std::string&) override { step(1); }
    void set_link(int index, const std::string&, const std::string&) override {
        require(index >= 1 && index <= 3, "a link index of 1 to 3");
        step(1 + index);
    }
    void set_custom_button(int index, const std::string&, const std::string&) override {
        require(index >= 1 && index <= 5, "a button index of 1 to 5");
        step(4 + index);
    }
    void set_background(const std::string&) override { step(10); }
    void set_program_aliases(const keeprun::ExeAliasTable& table) override {
        require(table.size() <= 99, "at most 99 alias rows");
        for (const auto& [file, process] : table)
            for (const std::string* s : {&file, &process})
                for (char c : *s)
                    require(!(c >= 'a' && c <= 'z'), "alias rows in upper case");
        step(11);
    }
    int last = -1;

  private:
    void step(int n) {
        require(n > last, "sections applied in their order, each once");
        // The background is optional; every other section follows its predecessor.
        require(n == last + 1 || (n == 11 && last == 9), "no section skipped");
        last = n;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text =
        keeprun::cp936_decode(std::string_view(reinterpret_cast<const char*>(data), size));
    CheckingTarget target;
    const keeprun::AppliedText applied = keeprun::apply_server_text(text, target);
    if (applied.outcome == keeprun::ConfigOutcome::accepted)
        require(target.last == 11, "an accepted text set every section");
    else
        require(target.last < 11, "a refused text never set the alias table");
    if (applied.outcome == keeprun::ConfigOutcome::forced_upgrade)
        require(target.last == 0, "an upgrade stops after the caption");
    return 0;
}
