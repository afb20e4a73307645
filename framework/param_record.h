#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A substitution of a display string for one integer value.
struct DisplayText {
    int32_t value = 0;
    char text[32] = {};
};

// One plug-in parameter: its definition and its current plain value. The single conversion rule
// between plain and normalised values (a linear range bent by a shape exponent) lives here and is
// used by the host binding, the editor and the engine alike.
// Threads: the definition is fixed once the plug-in is built; `value` is written under the plug-in
// lock by whichever thread changes it (the audio thread from the host's queue, the host's threads,
// the editor), and read under the lock wherever another thread may write it at the same time.
class IParamRecord {
  public:
    static constexpr int32_t kTypeNone = 0;
    static constexpr int32_t kTypeContinuous = 4;

    int32_t type = kTypeNone;
    double value = 0.0;
    double min = 0.0;
    double max = 1.0;
    double step = 1.0;
    double shape = 1.0;
    double defaultValue = 0.0;
    int32_t displayPrecision = 0;
    char name[32] = {};
    char label[32] = {};
    char group[32] = {};
    bool negateDisplay = false;
    bool canAutomate = true;
    std::vector<DisplayText> displayTexts;

    void InitContinuous(const char* name, double defaultValue, double min, double max, double step,
                        const char* label, const char* group, double shape);

    double ToNormalized(double plain) const;
    double FromNormalized(double normalized) const;
    void SetNormalized(double normalized);
    void SetClamped(double plain);

    void AddDisplayText(int32_t value, const char* text);
    // The text registered for k, or an empty string.
    const char* FindDisplayText(int32_t k) const;

    // Display string of at most 31 characters: of a normalised value when `normalized`, else of a
    // plain value.
    std::string FormatForHost(double v, bool normalized) const;
    // Parses a leading decimal number from host text (no number gives 0); returns it normalised.
    double ParseFromHost(const char16_t* text) const;
    // The unit label shown to the host: empty while the current value has a display text.
    const char* HostLabel() const;

    bool IsStepped() const { return type != kTypeContinuous; }
};

// Truncates toward zero into the int32 range; NaN gives 0. Used wherever a plain value picks a
// display text or an integer display, so no host value can make the conversion undefined.
int32_t TruncateToInt32(double v);

// Copies text into a fixed field, truncating and always terminating it.
void CopyFixedText(char* field, std::size_t fieldSize, const char* text);
