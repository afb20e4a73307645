#pragma once

// The editor view the host embeds in its window, and the host frame around it.

#include "vst3/abi/unknown.h"

namespace vst {

struct ViewRect {
    int32 left;
    int32 top;
    int32 right;
    int32 bottom;
};

inline constexpr const char* kPlatformTypeHWND = "HWND";
inline constexpr const char* kPlatformTypeX11EmbedWindowID = "X11EmbedWindowID";

class IPlugView;

class IPlugFrame : public FUnknown {
  public:
    static constexpr Uid iid{0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3};
    virtual tresult resizeView(IPlugView* view, ViewRect* newSize) = 0;
};

class IPlugView : public FUnknown {
  public:
    static constexpr Uid iid{0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29};
    virtual tresult isPlatformTypeSupported(FIDString type) = 0;
    virtual tresult attached(void* parent, FIDString type) = 0;
    virtual tresult removed() = 0;
    virtual tresult onWheel(float distance) = 0;
    virtual tresult onKeyDown(char16 key, int16 keyCode, int16 modifiers) = 0;
    virtual tresult onKeyUp(char16 key, int16 keyCode, int16 modifiers) = 0;
    virtual tresult getSize(ViewRect* size) = 0;
    virtual tresult onSize(ViewRect* newSize) = 0;
    virtual tresult onFocus(TBool state) = 0;
    virtual tresult setFrame(IPlugFrame* frame) = 0;
    virtual tresult canResize() = 0;
    virtual tresult checkSizeConstraint(ViewRect* rect) = 0;
};

inline constexpr Uid kPlugViewContentScaleSupportIid{0x65ED9690, 0x8AC44525, 0x8AADEF7A, 0x72EA703F};

static_assert(sizeof(ViewRect) == 16);

} // namespace vst
