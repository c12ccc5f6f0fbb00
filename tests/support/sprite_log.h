#pragma once
#include <vector>

#include "demo/music.h"
#include "render/sprite.h"

// Records every sprite drawn through drawSprite while it lives: the arguments and the
// model-view matrix in force. Tests check what a scene emits with it instead of pixels.
class SpriteLog {
  public:
    SpriteLog() { setSpriteRecorder(&SpriteLog::record, this); }
    ~SpriteLog() { setSpriteRecorder(nullptr, nullptr); }
    SpriteLog(const SpriteLog&) = delete;
    SpriteLog& operator=(const SpriteLog&) = delete;

    const std::vector<SpriteRecord>& sprites() const { return recorded; }
    void clear() { recorded.clear(); }

  private:
    static void record(const SpriteRecord& sprite, void* user) {
        static_cast<SpriteLog*>(user)->recorded.push_back(sprite);
    }
    std::vector<SpriteRecord> recorded;
};

// The sprites a scene routine draws at `clock` seconds of music.
inline std::vector<SpriteRecord> recordSceneSprites(void (*scene)(), const float clock) {
    MusicClock = clock;
    SpriteLog log;
    scene();
    return log.sprites();
}
