#include <gtest/gtest.h>

#include <string>

#include "config/section_keys.h"
#include "support/process_path.h"
#include "testing/child_process.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

// docs/configuration.md has a heading for every section the reading knows, and under it an entry
// "- `key=`" for every key of that section: a key added to the tables is a key documented.
TEST(ConfigurationReference, DocumentsEverySectionAndKey) {
  const std::string page = testutil::ReadFileBytes(FolderOf(testutil::TestProgramPath("tavrocheck")) +
                                                   "/configuration.md");
  ASSERT_FALSE(page.empty());
  for (const SectionDescription& section : KnownSections()) {
    const std::string heading = "\n## [" + section.name + (section.numbered ? "N" : "") + "]\n";
    const std::size_t start = page.find(heading);
    ASSERT_NE(start, std::string::npos) << heading;
    const std::string text = page.substr(start, page.find("\n## ", start + 1) - start);
    for (const KeyDescription& key : section.keys) {
      EXPECT_NE(text.find("\n- `" + key.name + "="), std::string::npos) << heading << key.name;
    }
  }
}

}  // namespace
}  // namespace tavro
