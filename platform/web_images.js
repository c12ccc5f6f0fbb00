// The browser's side of the web build's PNG textures: see platform/web_images.h. The page
// puts the decoded images in Module.images, keyed by path ('data/textures/font.png'), each
// {width, height, depth, alpha, rgba: Uint8Array}.
mergeInto(LibraryManager.library, {
  $webImage: function (pathPointer) {
    const images = Module['images'] || {};
    const path = UTF8ToString(pathPointer).replace(/^(\.?\/)+/, '');
    return Object.prototype.hasOwnProperty.call(images, path) ? images[path] : null;
  },

  webImageInfo__deps: ['$webImage'],
  webImageInfo: function (path, width, height, depth, alpha) {
    const image = webImage(path);
    if (image === null) {
      return false;
    }
    HEAPU32[width >> 2] = image.width;
    HEAPU32[height >> 2] = image.height;
    HEAPU32[depth >> 2] = image.depth;
    HEAPU32[alpha >> 2] = image.alpha;
    return true;
  },

  webImageCopy__deps: ['$webImage'],
  webImageCopy: function (path, rgba) {
    const image = webImage(path);
    if (image !== null) {
      HEAPU8.set(image.rgba, rgba);
    }
  },
});
