#pragma once

// An effect behind the binding, built in the test program itself, with an editor stand-in that
// records what the binding asks of it. For what a host cannot reach through the binary interface:
// the services the binding offers the base and the editor.

#include "framework/editor_link.h"
#include "graphics/editor_window.h"
#include "support/effect_facts.h"
#include "vst3/effect_vst3.h"

#include <memory>
#include <string>
#include <vector>

class FakeEditor : public IEditorLink, public IEditorWindow {
  public:
    void ApplyHostValueToControls(int idx, double n) override { applied.push_back({idx, n}); }
    void PrepareSurfaces() override {}
    void PushParamToControls(int, double) override { ++pushes; }
    void MarkAllControlsDirty() override {}
    int EditorWidth() const override { return 730; }
    int EditorHeight() const override { return 330; }
    void* AttachToParent(void* parent) override {
        attachedTo.push_back(parent);
        return failAttach ? nullptr : parent;
    }
    void DetachWindow() override { ++detaches; }

    std::vector<std::pair<int, double>> applied;
    std::vector<void*> attachedTo;
    int detaches = 0;
    int pushes = 0;
    bool failAttach = false; // a window that cannot be made
};

// Three parameters in two groups and the root; counts the hooks the view drives.
class BindingTestEffect : public IEffectVST3 {
  public:
    explicit BindingTestEffect(bool withEditor = true) : IEffectVST3(StereoEffectFacts(3, "test")) {
        GetParam(0)->InitContinuous("A", 0.0, 0.0, 1.0, 0.01, "", "Tone", 1.0);
        GetParam(1)->InitContinuous("B", 0.0, 0.0, 1.0, 0.01, "", "", 1.0);
        GetParam(2)->InitContinuous("C", 0.0, 0.0, 1.0, 0.01, "", "Level", 1.0);
        if (withEditor) {
            auto e = std::make_unique<FakeEditor>();
            editor = e.get();
            AttachGraphics(std::move(e));
        }
        CaptureDefaultPreset("-");
    }
    void OnEditorOpen() override { ++opens; }
    void OnEditorClose() override { ++closes; }
    void OnWindowResize() override { ++resizes; }
    void OnParamChange(int idx) override { changes.push_back(idx); }

    FakeEditor* editor = nullptr;
    int opens = 0, closes = 0, resizes = 0;
    std::vector<int> changes;
};
