#include "plugin/engine_messages.h"

#include "engine/measurement_quality.h"

const char* NoticeMessage(EngineNotice notice) {
    switch (notice) {
    case EngineNotice::NoAudioYet:
        return "Input sound stream is absent. Make sure that you listen the sound in your headphones and "
               "click this button again.";
    case EngineNotice::RateTooLow:
        return "Host's sample rate is too low. Please set it to 44100 or higher.";
    case EngineNotice::OutOfMemory:
        return "Error_2";
    }
    return "Error_2";
}

const char* VerdictMessage(MeasurementVerdict v) {
    switch (v) {
    case MeasurementVerdict::Usable:
        return nullptr;
    case MeasurementVerdict::ReferenceSilent:
        return "The measurement cannot be used: the reference microphone's input is silent. Check its "
               "connection and gain, then press Start again. The previous correction is kept.";
    case MeasurementVerdict::TargetSilent:
        return "The measurement cannot be used: the target microphone's input is silent. Check its "
               "connection and gain, then press Start again. The previous correction is kept.";
    case MeasurementVerdict::NothingInCommon:
        return "The measurement cannot be used: the two inputs have nothing in common. Place both "
               "microphones before the same voice and press Start again. The previous correction is kept.";
    }
    return nullptr;
}
