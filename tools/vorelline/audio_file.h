#pragma once

#include <string>
#include <vector>

class ProgressReporter;

// Mono audio as the tool uses it: the first channel of a file, in double precision.
struct MonoAudio {
    double sampleRate = 0.0;
    std::vector<double> samples;
};

struct ReadOptions {
    // Shows "reading NAME" with the share read so far.
    ProgressReporter* progress = nullptr;
    // How many frames the caller can use at the file's sample rate; the rest is not read (null: all).
    long long (*framesWanted)(double sampleRate) = nullptr;
};

// Reads the first channel of any file the audio library knows (WAV, FLAC, AIFF, ...). On failure,
// and for a file with NaN or infinite samples, returns false with a one-line reason in `error`.
bool ReadFirstChannel(const std::string& path, MonoAudio& audio, std::string& error,
                      const ReadOptions& options = {});

// Writes a mono file: 32-bit float WAV or AIFF, or 24-bit FLAC, chosen by the name's extension
// (".flac", ".aif"/".aiff"; anything else is WAV). Shows "writing NAME" on `progress` when given.
bool WriteMono(const std::string& path, const MonoAudio& audio, std::string& error,
               ProgressReporter* progress = nullptr);
