// The browser's side of the web build's sound: see platform/web_audio.h. The page puts the
// audio context and the decoded track in Module.audio = {context, track} before the show
// starts (the track: an AudioBuffer of 44100 Hz, decoded by the browser).
mergeInto(LibraryManager.library, {
  $webAudio: {
    source: null,
    startFrame: 0,   // the frame playback started from
    startTime: 0,    // the context time the source began at
    playing: false,
    context: function () {
      const audio = Module['audio'];
      return audio && audio.context ? audio.context : null;
    },
    track: function () {
      const audio = Module['audio'];
      return audio && audio.track ? audio.track : null;
    },
    // The context's time of what is being heard.
    heardTime: function (context) {
      return context.currentTime - (context.outputLatency || 0);
    },
    stop: function () {
      if (webAudio.source) {
        try {
          webAudio.source.stop();
        } catch (e) {
          // a source that ended by itself
        }
        webAudio.source.disconnect();
        webAudio.source = null;
      }
    },
  },

  webAudioRunning__deps: ['$webAudio'],
  webAudioRunning: function () {
    const context = webAudio.context();
    return context !== null && context.state === 'running';
  },

  webAudioTrackFrames__deps: ['$webAudio'],
  webAudioTrackFrames: function () {
    const track = webAudio.track();
    return track ? track.length : 0;
  },

  webAudioPlayFrom__deps: ['$webAudio'],
  webAudioPlayFrom: function (frame) {
    webAudio.stop();
    const context = webAudio.context();
    if (context === null) {
      return;
    }
    const track = webAudio.track();
    webAudio.startFrame = frame;
    webAudio.startTime = context.currentTime;
    webAudio.playing = true;
    if (track && frame < track.length) {
      const source = context.createBufferSource();
      source.buffer = track;
      source.connect(context.destination);
      source.start(webAudio.startTime, frame / track.sampleRate);
      webAudio.source = source;
    }
  },

  webAudioStop__deps: ['$webAudio'],
  webAudioStop: function () {
    const context = webAudio.context();
    if (context !== null && webAudio.playing) {
      webAudio.startFrame = _webAudioHeardFrame();
    }
    webAudio.playing = false;
    webAudio.stop();
  },

  webAudioHeardFrame__deps: ['$webAudio'],
  webAudioHeardFrame: function () {
    const context = webAudio.context();
    if (context === null || !webAudio.playing) {
      return webAudio.startFrame;
    }
    const since = webAudio.heardTime(context) - webAudio.startTime;
    return webAudio.startFrame + Math.max(0, since) * 44100;
  },

  webAudioCopyFrames__deps: ['$webAudio'],
  webAudioCopyFrames: function (startFrame, stereo, frames) {
    const out = HEAPF32.subarray(stereo >> 2, (stereo >> 2) + 2 * frames);
    out.fill(0);
    const track = webAudio.track();
    if (!track) {
      return;
    }
    const left = track.getChannelData(0);
    const right = track.numberOfChannels > 1 ? track.getChannelData(1) : left;
    const first = Math.max(0, -startFrame);
    const last = Math.min(frames, track.length - startFrame);
    for (let i = first; i < last; ++i) {
      out[2 * i] = left[startFrame + i];
      out[2 * i + 1] = right[startFrame + i];
    }
  },
});
