#pragma once

#include "vst3/plugin_view.h"

class IEffectVST3;

// The view a host receives for the editor: opens and closes the editor's window inside the
// host's parent window. Holds one reference on the plug-in while it lives.
class IEffectVST3View : public vst::PluginView {
  public:
    explicit IEffectVST3View(IEffectVST3* plugin);
    ~IEffectVST3View() override;

    vst::tresult isPlatformTypeSupported(vst::FIDString type) override;
    vst::tresult attached(void* parent, vst::FIDString type) override;
    vst::tresult removed() override;
    vst::tresult getSize(vst::ViewRect* size) override;
    vst::tresult onSize(vst::ViewRect* newSize) override;

    const char* ClassName() const override { return "IEffectVST3View"; }

    bool ResizePending() const { return resizePending; }
    // Between a successful attached and its removed.
    bool EditorOpen() const { return editorOpen; }
    void MarkResizePending() { resizePending = true; }
    // The plug-in is going away before the view: nothing may reach it any more.
    void ForgetPlugin() { plugin = nullptr; }

  private:
    IEffectVST3* plugin;
    bool resizePending = false;
    bool editorOpen = false;
};
