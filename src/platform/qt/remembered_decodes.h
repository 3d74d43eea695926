#pragma once
// Decodes of large pictures kept on disk between runs. A camera photograph takes about
// 40 ms of processor time to decode even at an eighth of its size, and an event starts
// with the same eight photographs again and again: the decode made at one start is read
// back at the next in well under a millisecond. Entries are found by the picture's
// bytes (a cryptographic digest of them, and their length) and the size asked for, so a picture changed, moved
// or copied to another event folder is never mistaken for another, even one made to
// look alike. An entry is taken only when sound (platform/logic/decode_entry.h); any
// other is deleted and the picture decoded again.
#include <QImage>
#include <QSize>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/logic/decode_entry.h"

namespace zv {

// The folder the decodes are kept in, made (mode 0700) when missing; set once, before
// any decode, by the program. Empty (the default, and for tests) keeps nothing.
void rememberDecodesIn(const std::string& folder);

// A picture's name in the folder: the digest of its bytes and their length. Empty for
// small pictures, which decode in no time, and while no folder is set. Hashing a 3 MB
// photograph takes a few milliseconds: made once per picture and handed on.
struct RememberedKey {
  EntrySource source;
  bool empty() const { return source.size == 0; }
};
RememberedKey rememberedKey(std::string_view bytes);

// What is kept of a picture at a size: the decoder's output for that size (which may be
// larger), or that output fitted to the size exactly (fitPictureToTarget).
enum class Remembered { Decoded, Fitted };

// The image an earlier run kept; null when there is none or the key is empty. An entry
// that is damaged, foreign, larger than the size allows or not a regular file is
// deleted (unread, never waited on) and null returned. Safe from any thread, as is
// rememberPicture.
QImage recallPicture(const RememberedKey& key, QSize target, Remembered kind);
// Keeps image for later runs (a failed write only means it is made again next time). It
// is written by a thread of its own, at low priority, some time after the call.
void rememberPicture(const RememberedKey& key, QSize target, Remembered kind, const QImage& image);

// Whether any image of the picture is kept, at any size and of either kind.
bool rememberedAtAnySize(const RememberedKey& key);

// Returns once every image given to rememberPicture so far is written (for tests).
void waitForRememberedWrites();

// decodePicture(bytes, target), recalled when an earlier run made it, else decoded and
// kept.
QImage decodePictureRemembered(std::string_view bytes, QSize target);
QImage decodePictureRemembered(const RememberedKey& key, std::string_view bytes, QSize target);

}  // namespace zv
