#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ProgressReporter;
struct sf_private_tag; // libsndfile's SNDFILE

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

// A file cut short (a copy or recording that stopped early) promises more frames in its header than
// it holds; the audio library then plays what is there. Prints a warning naming both lengths when
// `framesHeld` (what the file holds, or what could be read of it) falls short of the promise.
void WarnIfShorterThanHeader(const std::string& path, sf_private_tag* file, long long framesInInfo,
                             long long framesHeld, double sampleRate);

// The libsndfile format of a mono file the tool writes: 32-bit float WAV or AIFF, or 24-bit FLAC,
// chosen by the name's extension (".flac", ".aif"/".aiff"; anything else is WAV).
int MonoFormatFor(const std::string& path);

// A whole audio file in memory, `frames` interleaved frames of `channels` in libsndfile's `format`.
// Shows "writing NAME" on `progress` when given. False with a reason when the library refuses.
bool EncodeAudio(int format, int channels, int sampleRate, const std::vector<double>& interleaved,
                 std::vector<std::uint8_t>& encoded, std::string& error, ProgressReporter* progress = nullptr,
                 const std::string& name = {});

// Writes a mono file in the format of MonoFormatFor, whole or not at all (see output_file.h).
bool WriteMono(const std::string& path, const MonoAudio& audio, std::string& error,
               ProgressReporter* progress = nullptr);

// Samples beyond full scale, which a file of integer samples cannot hold: they are clipped there.
struct ClippingCount {
    long long clipped = 0;
    long long samples = 0;
    double peak = 0.0; // largest magnitude, 1.0 = full scale
};
ClippingCount CountClipping(const std::vector<double>& samples);
// True for formats that store integers (PCM, FLAC, ...), false for 32- and 64-bit float.
bool HoldsIntegers(int format);
