// The XScreenSaver description and the manual page list every row of the settings table with its
// range and default. (The XScreenSaver test checks that the program takes every option offered.)
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "common/settings_table.h"

namespace varenko {
namespace {

std::string ReadSource(const std::string& path) {
  std::ifstream in(std::string(VARENKO_SOURCE_DIR) + "/" + path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The value of attribute `name` in the XML element around position `at`, or "" without it.
std::string Attribute(const std::string& xml, std::size_t at, const std::string& name) {
  const std::size_t open = xml.rfind('<', at);
  const std::size_t close = xml.find('>', at);
  const std::size_t start = xml.find(" " + name + "=\"", open);
  if (start == std::string::npos || start > close) return "";
  const std::size_t value = start + name.size() + 3;
  return xml.substr(value, xml.find('"', value) - value);
}

TEST(SettingsDocs, TheXScreenSaverDescriptionHasEveryRow) {
  const std::string xml = ReadSource("resources/xscreensaver/varenko.xml");
  ASSERT_FALSE(xml.empty());
  for (const SettingRow& row : SettingsTable) {
    const std::string option = row.option;
    if (row.OnOff()) {
      // A check box passes the option only when it leaves the default.
      const std::string arg =
          row.fallback == 1 ? "arg-unset=\"" + option + " 0\"" : "arg-set=\"" + option + " 1\"";
      const std::size_t at = xml.find(arg);
      ASSERT_NE(at, std::string::npos) << arg;
      EXPECT_EQ(xml.substr(xml.rfind('<', at), 8), "<boolean") << option;
    } else {
      const std::size_t at = xml.find("arg=\"" + option + " %\"");
      ASSERT_NE(at, std::string::npos) << option;
      EXPECT_EQ(Attribute(xml, at, "low"), std::to_string(row.minimum)) << option;
      EXPECT_EQ(Attribute(xml, at, "high"), std::to_string(row.maximum)) << option;
      EXPECT_EQ(Attribute(xml, at, "default"), std::to_string(row.fallback)) << option;
    }
  }
}

TEST(SettingsDocs, TheManualPageHasEveryRow) {
  const std::string page = ReadSource("resources/debian/varenko.6");
  const std::size_t settings = page.find("The settings, which override the settings file:");
  ASSERT_NE(settings, std::string::npos);
  for (const SettingRow& row : SettingsTable) {
    std::string roff;  // the option as the page writes it, every dash escaped
    for (const char c : std::string(row.option)) roff += c == '-' ? "\\-" : std::string(1, c);
    const std::string heading =
        row.OnOff() ? ".BR " + roff + " \" 0|1\"\n" : ".BI " + roff + " \" N\"\n";
    const std::size_t at = page.find(heading, settings);
    ASSERT_NE(at, std::string::npos) << row.option;
    const std::size_t text = page.find('\n', at) + 1;
    const std::string line = page.substr(text, page.find('\n', text) - text);
    if (!row.OnOff()) {
      const std::string range = std::to_string(row.minimum) + " to " + std::to_string(row.maximum);
      EXPECT_NE(line.find(range), std::string::npos) << line;
    }
    EXPECT_NE(line.find("Default " + std::to_string(row.fallback) + "."), std::string::npos)
        << line;
  }
}

}  // namespace
}  // namespace varenko
