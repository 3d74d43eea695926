#pragma once
// Picture file bytes to a Qt image, decoded no larger than needed for the box it fills.
// JPEG goes through our own decoder; PNG, BMP and WebP, told by their content whatever
// the file is called, through Qt's readers under the same caps on size and memory.
#include <QImage>
#include <QSize>
#include <string_view>

#include "platform/jpeg.h"
#include "platform/picture_data.h"

namespace zv {

// "png", "bmp" or "webp" for bytes of those formats, told by their signature (never by a
// file's name); null for anything else, JPEG included.
const char* otherPictureFormat(std::string_view bytes);

// An empty image for bytes that are not a readable picture or exceed the limits.
QImage decodePicture(std::string_view bytes, QSize target = {});
QImage decodePicture(std::string_view bytes, QSize target, const JpegLimits& limits);

// The same, from a small cache of recent decodes keyed by the bytes themselves (shared
// bytes are recognised at once, equal bytes by comparison), so a picture file re-read
// from disk at every roll step is decoded again only when its contents changed.
QImage decodePictureCached(const PictureData& picture, QSize target);

// A decode for target, shaped as the cache keeps it (at the target's own size), made on
// any thread; decoded is what decodePicture gave, for target or for a larger size.
QImage fitPictureToTarget(QImage decoded, QSize target);
// Whether the cache already holds picture at target (bytes compared as in the look-up).
bool isPictureCached(const PictureData& picture, QSize target);
// Puts a decode made elsewhere (another thread, a shared decode) into the cache.
void storeCachedPicture(const PictureData& picture, QSize target, QImage image);

}  // namespace zv
