#pragma once
// JPEG bytes to a Qt image, decoded no larger than needed for the box it fills.
#include <QImage>
#include <QSize>
#include <string_view>

namespace zv {

// An empty image for bytes that are not a readable JPEG.
QImage decodePicture(std::string_view jpeg, QSize target = {});

}  // namespace zv
