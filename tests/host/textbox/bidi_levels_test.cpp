#include "host/textbox/bidi_levels.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tests/host/unicode_text.h"

namespace host {
namespace {

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream stream(line);
  for (std::string field; std::getline(stream, field, ';');) fields.push_back(field);
  return fields;
}

// Unicode's own cases for a left-to-right paragraph: the level of every
// character the algorithm keeps, and the visual order of those characters.
TEST(BidiLevels, UnicodesCharacterCasesForLeftToRightParagraphs) {
  std::ifstream file = testing_text::UnicodeFile("BidiCharacterTest.txt");
  if (!file) GTEST_SKIP() << "BidiCharacterTest.txt is not installed (Debian package unicode-data)";
  std::string line;
  int number = 0;
  int checked = 0;
  int failed = 0;
  while (std::getline(file, line)) {
    ++number;
    const std::vector<std::string> fields = Fields(line.substr(0, line.find('#')));
    if (fields.size() < 5 || fields[1] != "0") continue;
    String text;
    std::vector<std::size_t> starts;
    std::istringstream codes(fields[0]);
    for (std::string code; codes >> code;) {
      starts.push_back(text.size());
      testing_text::AppendCodePoint(text, static_cast<char32_t>(std::stoul(code, nullptr, 16)));
    }
    const std::vector<std::uint8_t> levels = BidiLevels(text);
    ASSERT_EQ(levels.size(), text.size());
    std::vector<std::uint8_t> kept_levels;
    std::vector<std::size_t> kept;
    std::istringstream expected(fields[3]);
    std::size_t index = 0;
    bool same = true;
    for (std::string level; expected >> level; ++index) {
      if (level == "x") continue;
      same = same && levels[starts[index]] == std::stoi(level);
      kept_levels.push_back(levels[starts[index]]);
      kept.push_back(index);
    }
    std::vector<std::size_t> order;
    for (std::size_t position : VisualOrder(kept_levels)) order.push_back(kept[position]);
    std::vector<std::size_t> expected_order;
    std::istringstream visual(fields[4]);
    for (std::size_t position; visual >> position;) expected_order.push_back(position);
    if (!same || order != expected_order) {
      if (++failed <= 10) ADD_FAILURE() << "line " << number << ": " << line;
    }
    ++checked;
  }
  EXPECT_EQ(failed, 0);
  EXPECT_GT(checked, 10000);
}

}  // namespace
}  // namespace host
