#include "tools/vorelline/apply_batch.h"

#include "plugin/alg_file.h"
#include "plugin/editor_controls.h"
#include "plugin/mic_corrector.h"
#include "tools/vorelline/audio_file.h"
#include "tools/vorelline/clipping_report.h"
#include "tools/vorelline/input_check.h"
#include "tools/vorelline/measurement.h"
#include "tools/vorelline/output_file.h"
#include "tools/vorelline/output_guard.h"
#include "tools/vorelline/plugin_session.h"
#include "tools/vorelline/progress_reporter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sndfile.h>

namespace fs = std::filesystem;

namespace {

struct Audio {
    SF_INFO info{};
    std::vector<std::vector<double>> channels;
};

bool ReadAll(const std::string& path, Audio& audio, std::string& error) {
    if (const std::string why = WhyUnreadable(path); !why.empty()) {
        error = "cannot read audio file: " + why;
        return false;
    }
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &audio.info);
    if (!file) {
        error = std::string("cannot read audio file: ") + sf_strerror(nullptr);
        return false;
    }
    const SF_INFO& info = audio.info;
    if (info.channels < 1 || info.samplerate <= 0) {
        sf_close(file);
        error = "the file has no channels or no sample rate";
        return false;
    }
    const std::size_t channels = static_cast<std::size_t>(info.channels);
    audio.channels.assign(channels, {});
    std::vector<double> block(static_cast<std::size_t>(65536) * channels);
    sf_count_t frames = 0;
    for (;;) {
        const sf_count_t got = sf_readf_double(file, block.data(), 65536);
        if (got <= 0) break;
        frames += got;
        for (sf_count_t i = 0; i < got; ++i)
            for (std::size_t c = 0; c < channels; ++c) {
                const double v = block[static_cast<std::size_t>(i) * channels + c];
                if (!std::isfinite(v)) {
                    sf_close(file);
                    error = "the file contains samples that are not finite numbers";
                    return false;
                }
                audio.channels[c].push_back(v);
            }
    }
    if (info.frames > 0) WarnIfShorterThanHeader(path, file, info.frames, frames, info.samplerate);
    sf_close(file);
    return true;
}

// The file in the input's own format, every channel as corrected.
bool WriteAll(const std::string& path, const Audio& audio, std::string& error) {
    const std::size_t channels = audio.channels.size();
    const std::size_t frames = audio.channels[0].size();
    std::vector<double> interleaved(frames * channels);
    for (std::size_t i = 0; i < frames; ++i)
        for (std::size_t c = 0; c < channels; ++c)
            interleaved[i * channels + c] = audio.channels[c][i];
    std::vector<std::uint8_t> encoded;
    if (!EncodeAudio(audio.info.format, audio.info.channels, audio.info.samplerate, interleaved, encoded,
                     error)) {
        error = "cannot write it in the input's format: " + error;
        return false;
    }
    return WriteOutputFile(path, std::move(encoded), error);
}

ClippingCount CountClippingOfAll(const Audio& audio) {
    ClippingCount all;
    for (const std::vector<double>& channel : audio.channels) {
        const ClippingCount c = CountClipping(channel);
        all.clipped += c.clipped;
        all.samples += c.samples;
        all.peak = std::max(all.peak, c.peak);
    }
    return all;
}

} // namespace

int RunApplyBatch(const std::string& algPath, const std::vector<std::string>& inputs,
                  const std::string& folder, double output, bool allowClipping) {
    // Every output is decided, and checked against the inputs and the other outputs, before anything
    // is read or written.
    std::vector<fs::path> outputs;
    std::vector<NamedFile> named{{"correction", algPath}};
    std::vector<PlannedOutput> planned;
    for (const std::string& in : inputs) {
        outputs.push_back(fs::path(folder) / fs::path(in).filename());
        named.push_back({"", in});
        planned.push_back({{"", outputs.back().string()}, OutputKind::Audio});
    }
    if (!OutputsAreSafe(named, planned)) return 2;
    AlgRecord record;
    if (!ReadCorrectionFile(algPath, record)) return 1;
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder)) {
        std::fprintf(stderr, "vorelline: cannot make the folder %s\n", folder.c_str());
        return 1;
    }

    ProgressReporter progress;
    int done = 0;
    std::vector<std::string> failures;
    for (std::size_t f = 0; f < inputs.size(); ++f) {
        const std::string& in = inputs[f];
        const std::string count = "[" + std::to_string(f + 1) + "/" + std::to_string(inputs.size()) + "] ";
        progress.Phase(count + "reading " + fs::path(in).filename().string());
        Audio audio;
        std::string error;
        bool ok = ReadAll(in, audio, error);
        if (ok) {
            // One plug-in per channel, each from silence, as a mono instance on that channel would play it.
            for (std::size_t c = 0; c < audio.channels.size(); ++c) {
                PluginSession session;
                session.PrepareProcessing(audio.info.samplerate);
                session.Plugin().ApplyCorrectionRecord(record);
                session.Click(
                    session.Plugin().Controls().outputsSelector->Button(static_cast<int>(output * 2.0)));
                progress.Phase(count + "playing " + fs::path(in).filename().string() + " channel " +
                               std::to_string(c + 1) + "/" + std::to_string(audio.channels.size()));
                audio.channels[c] = ProcessThrough(session, audio.channels[c], nullptr);
                progress.Update(1.0);
            }
            ClearProgressLine();
            if (HoldsIntegers(audio.info.format) &&
                !ReportClipping(outputs[f].string(), CountClippingOfAll(audio), allowClipping,
                                "convert the input to 32-bit float first, or lower the correction's Gain")) {
                failures.push_back(in);
                continue;
            }
            progress.Phase(count + "writing " + outputs[f].filename().string());
            ok = WriteAll(outputs[f].string(), audio, error);
        }
        ClearProgressLine();
        if (!ok) {
            std::fprintf(stderr, "vorelline: %s: %s\n", in.c_str(), error.c_str());
            failures.push_back(in);
            continue;
        }
        ++done;
        std::printf("%s%s -> %s (%d channel%s, %d Hz, %.2f s)\n", count.c_str(), in.c_str(),
                    outputs[f].string().c_str(), audio.info.channels, audio.info.channels == 1 ? "" : "s",
                    audio.info.samplerate,
                    static_cast<double>(audio.channels[0].size()) / audio.info.samplerate);
        std::fflush(stdout);
    }
    progress.Done();
    std::printf("corrected %d of %zu file%s into %s", done, inputs.size(), inputs.size() == 1 ? "" : "s",
                folder.c_str());
    if (!failures.empty()) {
        std::printf("; failed:");
        for (const std::string& f : failures)
            std::printf(" %s", f.c_str());
    }
    std::printf("\n");
    return failures.empty() ? 0 : 1;
}
