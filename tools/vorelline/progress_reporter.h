#pragma once

#include <cstdio>
#include <string>

// Whether progress lines are drawn at all: main decides once (a terminal on stderr and no --quiet).
void EnableProgress(bool on);
bool ProgressEnabled();

// One line of progress on stderr, redrawn in place ("vorelline: reading take.wav  42%") and only
// when the whole percentage changes, so long work shows it is alive without flooding the terminal.
// Draws nothing when progress is not enabled.
class ProgressReporter {
  public:
    ProgressReporter() : ProgressReporter(stderr, ProgressEnabled()) {}
    ProgressReporter(std::FILE* stream, bool wanted) : out(stream), enabled(wanted && stream) {}
    ~ProgressReporter() { Done(); }
    ProgressReporter(const ProgressReporter&) = delete;
    ProgressReporter& operator=(const ProgressReporter&) = delete;

    // Starts a step of the work; its line shows the label alone until the first Update.
    void Phase(const std::string& label);
    // Fraction of the current step done, 0 to 1 (anything else is held to that range).
    void Update(double fraction);
    // Removes the line, leaving the terminal as it was.
    void Done();

  private:
    void Draw(const std::string& text);

    std::FILE* out;
    bool enabled;
    std::string label;
    int percent = -1;
    std::size_t shownWidth = 0;
};

// Clears whatever progress line is on screen, so a message can be printed on a line of its own.
void ClearProgressLine();
