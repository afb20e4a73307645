#pragma once

#include "graphics/pixel_rect.h"

#include <cstdint>
#include <string>
#include <vector>

class IGraphicsHeadless;
class IMicCorrector;

// One instance of the plug-in class with its editor open in the headless back end, and the tool in
// the host's and the user's place: the host prepares processing and plays blocks, the user clicks
// at the editor's controls, and the editor's timer runs every 40 ms of audio played.
class PluginSession {
  public:
    PluginSession();
    ~PluginSession();
    PluginSession(const PluginSession&) = delete;
    PluginSession& operator=(const PluginSession&) = delete;

    IMicCorrector& Plugin() { return *plugin; }
    IGraphicsHeadless& Editor() { return *editor; }

    // What a host's processing set-up does: 64-bit samples, blocks of at most 512 frames, the rate.
    void PrepareProcessing(double hostSampleRate);
    // One block through the audio path, under the plug-in lock as the host binding takes it. Runs
    // the editor's timer whenever another 40 ms of audio has been played.
    void Process(double** inputs, double** outputs, int frames);
    // A left (or right) click at the centre of a rectangle of the editor.
    void Click(const IPixelRect& rect, bool rightButton = false);
    // One tick of the editor's timer: the draw cycle.
    void DrawCycle();
    // Draws until nothing is dirty and writes what the editor shows as a PNG file.
    bool WriteEditorPicture(const std::string& path);
    // The same picture as the bytes of a PNG file.
    bool EditorPicturePng(std::vector<std::uint8_t>& png);

  private:
    IMicCorrector* plugin;
    IGraphicsHeadless* editor;
    double hostRate = 0.0;
    double framesSinceTick = 0.0;
};
