#pragma once
// Between a kept picture decode's file (platform/logic/decode_entry.h) and a Qt image.
#include <QImage>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/logic/decode_entry.h"

namespace zv {

// The entry's layout of format; nothing for a format no entry holds.
std::optional<EntryPixels> entryPixels(QImage::Format format);

// The image an entry holds, reading its rows in place: owner keeps entry's bytes alive for
// as long as the image (or a copy of it) lives. Null when the entry is not a sound entry
// of source within allowance.
QImage entryImage(std::shared_ptr<const void> owner, std::string_view entry,
                  const EntrySource& source, const EntryAllowance& allowance);

// The entry for image; empty for an image whose format no entry holds.
std::string entryOfImage(const QImage& image, const EntrySource& source);

}  // namespace zv
