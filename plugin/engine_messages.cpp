#include "plugin/engine_messages.h"

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
