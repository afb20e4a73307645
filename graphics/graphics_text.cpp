#include "graphics/font_cache.h"
#include "graphics/graphics.h"
#include "raster/cached_font.h"
#include "raster/platform_font.h"
#include "raster/sys_bitmap.h"

#include <memory>

// Text of the editor core: fonts from the process-wide cache, drawn or measured by the raster
// font layer.

RAST_CachedFont* IGraphics::FontFor(ITextStyle& style) {
    FontCache& cache = FontCache::Instance();
    if (RAST_CachedFont* found = cache.Find(style.size, style.orientation, style.style, style.faceName)) {
        style.cachedFont = found;
        return found;
    }
    // Width 0, no underline or strike-out, default character set, precisions and pitch.
    RAST_FontSpec request;
    request.face = style.faceName;
    request.height = style.size;
    request.escapement = style.orientation * 10;
    request.weight = style.style == ITextStyle::kBold ? 700 : 400;
    request.italic = style.style == ITextStyle::kItalic;
    request.quality = style.quality;
    auto font = std::make_unique<RAST_CachedFont>();
    RAST_FontHandle platformFont = CreatePlatformFont(request);
    if (!platformFont) return nullptr;
    font->SetFromPlatformFont(platformFont, FontOwnsPlatformFont | FontPreferPlatformText);
    RAST_CachedFont* stored =
        cache.Add(style.size, style.orientation, style.style, style.faceName, std::move(font));
    style.cachedFont = stored;
    return stored;
}

bool IGraphics::DrawStyledText(ITextStyle& style, const char* text, const IPixelRect& r) {
    IPixelRect place = r;
    return RenderStyledText(style, text, place, false);
}

bool IGraphics::MeasureStyledText(ITextStyle& style, const char* text, IPixelRect& r) {
    return RenderStyledText(style, text, r, true);
}

bool IGraphics::RenderStyledText(ITextStyle& style, const char* text, IPixelRect& r, bool measuring) {
    if (!text || !*text) return true;
    RAST_CachedFont* font = style.cachedFont ? style.cachedFont : FontFor(style);
    if (!font) return false;
    font->SetTextColour(style.textColour.ToPixel());

    unsigned format = TextNoClip;
    if (style.alignment == ITextStyle::kNear)
        format |= TextLeft;
    else if (style.alignment == ITextStyle::kCentre)
        format |= TextCentre;
    else
        format |= TextRight;
    if (style.textColour.a < 255) format |= TextUseColourAlpha;

    if (!measuring) {
        RAST_Rect box{r.left, r.top, r.right, r.bottom};
        font->RenderText(drawSurface.get(), text, -1, &box, format);
        return true;
    }
    RAST_Rect box{0, 0, 0, 0};
    font->RenderText(drawSurface.get(), text, -1, &box, format | TextMeasureOnly);
    int w = box.right - box.left, h = box.bottom - box.top;
    if (style.alignment == ITextStyle::kNear) {
        r.right = r.left + w;
    } else if (style.alignment == ITextStyle::kCentre) {
        r.left = int((double(r.left) + r.right) * 0.5) - w / 2;
        r.right = r.left + w;
    } else {
        r.left = r.right - w;
        r.right = r.left + w;
    }
    r.bottom = r.top + h;
    return true;
}
