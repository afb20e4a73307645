#pragma once

#include <string>

class IControl;
class IParamRecord;

// Text a value entry field starts with: the plain value (negated for display when the parameter
// says so) with the parameter's display precision, or as a truncated integer for precision 0.
std::string FormatValueForEntry(const IParamRecord& param);

// True when a value entry for this parameter is a choice among its display texts.
bool EntryIsChoice(const IParamRecord& param);

// Normalised value of text typed into a value entry: for choices, the value of the first display
// text equal to the text (0 when none is); otherwise the leading number (0 when there is none,
// negated when the display is negated). At most 31 characters of the text are read.
double EnteredTextToNormalized(const IParamRecord& param, const char* text);

// What every back end does when an entry is committed: a parameter's control takes the entered
// value as a user edit; a control without a parameter gets the raw text.
void CommitEnteredText(IControl* control, IParamRecord* param, const char* text);

// Keys a value entry lets through for a parameter: every character without a parameter or for
// type 0; digits and signs for stepped types 1 to 3; digits, signs and '.' for continuous ones.
bool EntryAcceptsCharacter(const IParamRecord* param, int ch);
