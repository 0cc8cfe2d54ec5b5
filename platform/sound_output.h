// The sound device the game plays its WAVE images on.
#pragma once

#include <QByteArray>
#include <functional>
#include <memory>
#include <utility>

class CSoundOutput {
 public:
  virtual ~CSoundOutput() = default;
  // Plays a complete RIFF WAVE image, cutting off the sound still playing.
  // With wait, returns once it has been heard to its end. False when it cannot
  // be played (no device, an image that cannot be decoded).
  virtual bool Play(const QByteArray& wave, bool wait) = 0;

  // Work the caller's thread does while a play waits for its sound to be
  // heard: it is called every few milliseconds, and must return at once.
  void SetWhileWaiting(std::function<void()> work) { m_whileWaiting = std::move(work); }

 protected:
  std::function<void()> m_whileWaiting;
};

// The machine's sound device, opened when the first sound is played and again
// after it has been lost; without one every play fails.
std::unique_ptr<CSoundOutput> CreateSoundOutput();
