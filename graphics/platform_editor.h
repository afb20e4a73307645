#pragma once

#include <memory>

class IEffectBase;
class IGraphics;

// Makes the editor object a plug-in instance keeps for its whole life: the platform's window back
// end where there is one (Win32 child windows on Windows, X11 embedding on Linux), else the
// headless back end, which draws into memory and opens no window.
std::unique_ptr<IGraphics> CreatePlatformEditor(IEffectBase* plug, int width, int height, int frameRate);

// Who makes an instance's editor; tests and the command-line tool hand in the headless one.
using EditorFactory = std::unique_ptr<IGraphics> (*)(IEffectBase* plug, int width, int height, int frameRate);

// The headless editor as an EditorFactory.
std::unique_ptr<IGraphics> CreateHeadlessEditor(IEffectBase* plug, int width, int height, int frameRate);
