#include "platform/sound/deferred_sound_output.h"
#include "platform/sound_output.h"

std::unique_ptr<CSoundOutput> CreateSoundOutput() { return std::make_unique<CDeferredSoundOutput>(); }
