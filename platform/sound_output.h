// The sound device the game plays its WAVE images on.
#pragma once

#include <QByteArray>
#include <memory>

class CSoundOutput {
 public:
  virtual ~CSoundOutput() = default;
  // Plays a complete RIFF WAVE image, cutting off the sound still playing.
  // With wait, returns once it has been heard to its end. False when it cannot
  // be played (no device, an image that cannot be decoded).
  virtual bool Play(const QByteArray& wave, bool wait) = 0;
};

// The machine's sound device, opened when the first sound is played and again
// after it has been lost; without one every play fails.
std::unique_ptr<CSoundOutput> CreateSoundOutput();
