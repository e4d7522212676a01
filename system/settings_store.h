#pragma once
// The per-user settings store: one text per application, section and key,
// kept between runs (an ini file under $XDG_CONFIG_HOME/keeprun/).
#include <string>
#include <string_view>
#include <utility>

namespace keeprun {

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // The stored text, or "" when there is none or it cannot be read.
    virtual std::string get(std::string_view app, std::string_view section,
                            std::string_view key) = 0;
    // Stores the text; false when it could not be written.
    virtual bool save(std::string_view app, std::string_view section, std::string_view key,
                      std::string_view value) = 0;
};

// The real store of the user running keeprun.
SettingsStore& user_settings_store();

} // namespace keeprun

namespace keeprun {

// The store kept as one ini file per application in `folder`.
class FileSettingsStore : public SettingsStore {
  public:
    explicit FileSettingsStore(std::string folder) : folder_(std::move(folder)) {}
    std::string get(std::string_view app, std::string_view section, std::string_view key) override;
    // Texts with line breaks, and sections or keys the ini form cannot hold, are refused.
    bool save(std::string_view app, std::string_view section, std::string_view key,
              std::string_view value) override;

  private:
    std::string file_of(std::string_view app) const;
    std::string folder_;
};

} // namespace keeprun
