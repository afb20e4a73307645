// Draws the editor's images.
//
//   make_artwork <image folder>

#include "editor_art.h"
#include "style.h"

#include <cstdio>
#include <string>

namespace {

bool Write(const Canvas& canvas, const std::string& path, bool opaque) {
    if (canvas.WritePng(path, opaque)) return true;
    std::fprintf(stderr, "make_artwork: cannot write %s\n", path.c_str());
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_artwork <image folder>\n");
        return 2;
    }
    if (!style::TheFonts().Loaded()) {
        std::fprintf(stderr, "make_artwork: DejaVu Sans is not installed\n");
        return 1;
    }
    const std::string dir = std::string(argv[1]) + "/";
    bool ok = Write(art::MakeBackground(), dir + "background.png", true);
    ok = Write(art::MakeFader(), dir + "fader.png", false) && ok;
    ok = Write(art::MakeInputs(), dir + "Inputs.png", false) && ok;
    ok = Write(art::MakeRadio(), dir + "Radio1.png", false) && ok;
    ok = Write(art::MakeAboutBox(), dir + "about_dialog.png", false) && ok;
    ok = Write(art::MakeProgressBar(), dir + "Progress_bar.png", false) && ok;
    return ok ? 0 : 1;
}
