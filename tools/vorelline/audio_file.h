#pragma once

#include <string>
#include <vector>

// Mono audio as the tool uses it: the first channel of a file, in double precision.
struct MonoAudio {
    double sampleRate = 0.0;
    std::vector<double> samples;
};

// Reads the first channel of any file the audio library knows (WAV, FLAC, AIFF, ...). On failure,
// and for a file with NaN or infinite samples, returns false with a one-line reason in `error`.
bool ReadFirstChannel(const std::string& path, MonoAudio& audio, std::string& error);

// Writes a mono file: 32-bit float WAV or AIFF, or 24-bit FLAC, chosen by the name's extension
// (".flac", ".aif"/".aiff"; anything else is WAV).
bool WriteMono(const std::string& path, const MonoAudio& audio, std::string& error);
