#pragma once
// JPEG bytes to a Qt image, decoded no larger than needed for the box it fills.
#include <QImage>
#include <QSize>
#include <string_view>

#include "platform/picture_data.h"

namespace zv {

// An empty image for bytes that are not a readable JPEG.
QImage decodePicture(std::string_view jpeg, QSize target = {});

// The same, from a small cache of recent decodes keyed by the bytes themselves (shared
// bytes are recognised at once, equal bytes by comparison), so a picture file re-read
// from disk at every roll step is decoded again only when its contents changed.
QImage decodePictureCached(const PictureData& picture, QSize target);

}  // namespace zv
