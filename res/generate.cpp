// Writes the game's generated resources into a folder, one file per resource,
// named by type and number: bitmap/130 ... bitmap/153, and the others the
// resource list names.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/board.h"
#include "res/arrangement_pictures.h"

namespace {

bool WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "quadrilex_resgen: cannot write %s\n", path.string().c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quadrilex_resgen OUTPUT_FOLDER\n");
    return 2;
  }
  const std::filesystem::path out(argv[1]);
  bool ok = true;
  for (int i = 0; i < quadrilex::kArrangementCount; ++i) {
    const auto dib = quadrilex::res::EncodeDib8(quadrilex::res::ArrangementPicture(quadrilex::kArrangementCode[i]));
    ok = WriteFile(out / "bitmap" / std::to_string(quadrilex::kFirstArrangementBitmap + i), dib) && ok;
  }
  return ok ? 0 : 1;
}
