// write_fuzz_seeds FOLDER: writes the project image to FOLDER/project_image
// and the design record to FOLDER/design_record, one file in each.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>

#include "app/project_image.h"

namespace {

bool Write(const std::filesystem::path& folder, std::span<const std::uint8_t> bytes) {
  std::filesystem::create_directories(folder);
  std::ofstream out(folder / "seed", std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_fuzz_seeds FOLDER\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  const bool written = Write(folder / "project_image", app::kProjectImage) &&
                       Write(folder / "design_record", app::kJSONfrmDesignRecord);
  return written ? 0 : 1;
}
