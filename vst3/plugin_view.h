#pragma once

#include "vst3/abi/view.h"
#include "vst3/ref_counted_object.h"

namespace vst {

// Base of an editor view: reference counting, the view rectangle, the parent window while
// attached, and the host frame.
class PluginView : public RefCountedObject, public IPlugView {
  public:
    explicit PluginView(const ViewRect* rect = nullptr);
    ~PluginView() override;

    tresult queryInterface(const TUID iid, void** obj) override;
    uint32 addRef() override { return AddReference(); }
    uint32 release() override { return ReleaseReference(); }

    tresult isPlatformTypeSupported(FIDString type) override;
    tresult attached(void* parent, FIDString type) override;
    tresult removed() override;
    tresult onWheel(float distance) override;
    tresult onKeyDown(char16 key, int16 keyCode, int16 modifiers) override;
    tresult onKeyUp(char16 key, int16 keyCode, int16 modifiers) override;
    tresult getSize(ViewRect* size) override;
    tresult onSize(ViewRect* newSize) override;
    tresult onFocus(TBool state) override;
    tresult setFrame(IPlugFrame* frame) override;
    tresult canResize() override;
    tresult checkSizeConstraint(ViewRect* rect) override;

    const ViewRect& Rect() const { return rect; }
    void* SystemWindow() const { return systemWindow; }
    IPlugFrame* Frame() const { return plugFrame; }

    const char* ClassName() const override { return "PluginView"; }

  protected:
    ViewRect rect{0, 0, 0, 0};
    void* systemWindow = nullptr;
    IPlugFrame* plugFrame = nullptr;
};

} // namespace vst
