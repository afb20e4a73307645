#pragma once

struct EffectFacts;
class IEffectBase;

// Parameter indices as the host and the editor use them. 9 to 13 carry editor controls only and keep
// the base's fresh, uninitialised records.
enum MicCorrectorParam : int {
    kParamInputs = 0,
    kParamOutputs = 1,
    kParamResolution = 2,
    kParamGain = 3,
    kParamStart = 4,
    kParamSave = 5,
    kParamLoad = 6,
    kParamHelp = 7,
    kParamAbout = 8,
    kParamProgress = 9,
    kParamAboutOk = 10,
    kParamDisplay = 13,
    kParamReset = 14,
    kMicCorrectorParamCount = 15,
};

// Defines the named parameters on a base built with kMicCorrectorParamCount records, in index order
// 0 to 8, then 14: continuous, empty label, empty group, shape 1.0. The defaults of "Inputs",
// "Outputs", "Resolution" and "Gain" are the engine's initial selections (0, 0, 0) and gain (0.5).
// Does nothing on a base with fewer records.
void DefineMicCorrectorParameters(IEffectBase& effect);

// The choice a value of a selection ("Inputs", "Outputs", "Resolution") stands for: the nearest of
// the parameter's steps (0 or 1; 0, 0.5 or 1), the button the editor shows for it. A host's slider or
// automation may send any value in between. Other parameters' values come back unchanged.
double NearestChoice(int paramIdx, double value);

// What hosts list as the title of an editor-only parameter (9 to 13: progress bar, About box OK
// button, two unused slots, response display); null for the named parameters.
const char* EditorOnlyHostTitle(int index);

// The facts the plug-in hands its base at construction: name, version, codes, 15 parameters, one
// preset and the channel pairs "1-1 2-2". makerName is the maker's web domain.
EffectFacts MicCorrectorFacts(const char* makerName);
