// Writes the game's generated resources into a folder, one file per resource,
// named by type and number: bitmap/130 ... bitmap/153 (and each at two and
// three times the size, bitmap/130@2x ... bitmap/153@3x), sound/154 ...
// sound/159, icon/128, icon/129, icon/154 ... icon/157, and largeicon/128, the
// game's icon at the larger sizes. Beside them, hicolor/16.png ...
// hicolor/256.png: the game's icon for the desktop, installed rather than
// compiled in.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/board.h"
#include "res/arrangement_pictures.h"
#include "res/icons.h"
#include "res/png.h"
#include "res/sounds.h"

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
  try {
    for (int i = 0; i < quadrilex::kArrangementCount; ++i) {
      const char* code = quadrilex::kArrangementCode[i];
      const std::string name = std::to_string(quadrilex::kFirstArrangementBitmap + i);
      ok = WriteFile(out / "bitmap" / name, quadrilex::res::EncodeDib8(quadrilex::res::ArrangementPicture(code))) && ok;
      for (int scale : quadrilex::res::kDenserScales) {
        const auto dib = quadrilex::res::EncodeDib8(quadrilex::res::ArrangementPicture(code, scale));
        ok = WriteFile(out / "bitmap" / (name + "@" + std::to_string(scale) + "x"), dib) && ok;
      }
    }
    for (int id = quadrilex::res::kFirstSound; id <= quadrilex::res::kLastSound; ++id)
      ok = WriteFile(out / "sound" / std::to_string(id), quadrilex::res::SoundFile(id)) && ok;
    for (int id : quadrilex::res::kIconIds)
      ok = WriteFile(out / "icon" / std::to_string(id), quadrilex::res::IconFile(id)) && ok;
    ok = WriteFile(out / "largeicon" / "128", quadrilex::res::LargeIconFile(128)) && ok;
    for (int size : quadrilex::res::kHicolorSizes) {
      const auto png = quadrilex::res::EncodePng(quadrilex::res::DrawAppIcon(size));
      ok = WriteFile(out / "hicolor" / (std::to_string(size) + ".png"), png) && ok;
    }
  } catch (const std::exception& e) {  // a folder that cannot be made, a sound that does not fit its size
    std::fprintf(stderr, "quadrilex_resgen: %s\n", e.what());
    return 1;
  }
  return ok ? 0 : 1;
}
