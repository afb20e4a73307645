// Draws the editor's images into resources/img/ and, with --help-pictures, the help pages' editor
// pictures composed from them.
//
//   make_artwork <image folder> [--help-pictures <folder>]

#include "editor_art.h"
#include "help_pictures.h"
#include "style.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool Write(const Canvas& canvas, const std::string& path, bool opaque) {
    if (canvas.WritePng(path, opaque)) return true;
    std::fprintf(stderr, "make_artwork: cannot write %s\n", path.c_str());
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--help-pictures") == 0)) {
        std::fprintf(stderr, "usage: make_artwork <image folder> [--help-pictures <folder>]\n");
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
    if (argc == 4) {
        const std::string helpDir = std::string(argv[3]) + "/";
        const Canvas pictures[] = {art::ComposeFreshEditor(), art::ComposeRecording(),
                                   art::ComposeHighResolution(), art::ComposeAboutBox()};
        for (int i = 0; i < 4; ++i)
            ok = Write(pictures[i], helpDir + "m" + std::to_string(i + 1) + ".png", true) && ok;
    }
    return ok ? 0 : 1;
}
