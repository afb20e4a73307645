#include "raster/platform_font.h"
#include "raster/posix/freetype_font.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <string>

namespace {

// Never destroyed: the process-wide font cache frees its fonts at exit, possibly after this file's
// statics are gone.
std::mutex& LibraryLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
        return lib;
    }();
    return library;
}

// The file fontconfig picks for the face, weight and slant (its aliases map missing families,
// "Verdana" among them, to installed metric-alikes).
bool MatchFontFile(const RAST_FontSpec& request, std::string& file, int& index) {
    if (!FcInit()) return false;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return false;
    FcPatternAddString(pattern, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(request.face && *request.face ? request.face : "Verdana"));
    FcPatternAddInteger(pattern, FC_WEIGHT, request.weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;
    FcChar8* path = nullptr;
    bool ok = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path;
    if (ok) {
        file = reinterpret_cast<const char*>(path);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    }
    FcPatternDestroy(match);
    return ok;
}

} // namespace

RAST_FontHandle CreatePlatformFont(const RAST_FontSpec& request) {
    std::string file;
    int index = 0;
    if (!MatchFontFile(request, file, index)) return nullptr;
    std::lock_guard<std::mutex> guard(LibraryLock());
    FT_Library lib = Library();
    if (!lib) return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Face(lib, file.c_str(), index, &face) != 0) return nullptr;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
        FT_Done_Face(face);
        return nullptr;
    }

    // The cell (ascent + descent) is what a positive height asks for, as on Windows; a negative
    // height asks for the em size.
    double ascent = face->ascender, descent = -face->descender;
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        os2 && os2->usWinAscent + os2->usWinDescent > 0) {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
    }
    if (ascent + descent <= 0) ascent = face->units_per_EM, descent = 0;
    const int requested = request.height == 0 ? 12 : std::min(std::abs(request.height), 4096);
    const double em = request.height < 0 ? requested : requested * face->units_per_EM / (ascent + descent);
    const double scale = em / face->units_per_EM;
    if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(em * 64)), 72, 72) != 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    auto* font = new rast::FreeTypeFont;
    font->face = face;
    font->ascent = static_cast<int>(std::lround(ascent * scale));
    font->height =
        request.height < 0 ? font->ascent + static_cast<int>(std::lround(descent * scale)) : requested;
    font->monochrome = request.quality == 1;
    font->emboldenStrength = 0;
    if (request.weight >= 600 && !(face->style_flags & FT_STYLE_FLAG_BOLD)) font->emboldenStrength = 1;
    return font;
}

void DeletePlatformFont(RAST_FontHandle handle) {
    auto* font = static_cast<rast::FreeTypeFont*>(handle);
    if (!font) return;
    std::lock_guard<std::mutex> guard(LibraryLock());
    FT_Done_Face(font->face);
    delete font;
}

// GCC names AddressSanitizer with a macro, clang (the fuzzing tree) with a feature test.
#if defined(__SANITIZE_ADDRESS__)
#define TV_LEAK_CHECKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TV_LEAK_CHECKS 1
#endif
#endif
#ifdef TV_LEAK_CHECKS
// fontconfig loses a few bytes while parsing its configuration files; that is not ours to fix, and
// it must not fail every sanitizer run of a program that creates fonts.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
#endif
