#pragma once
// Plays one effect movie inside a window that the caller owns and makes that window
// transparent wherever the key colour shows. It writes the movie and a page naming it to
// the user's own effect folder and puts a movie view, opened on that page, into the window
// as a child filling it. One host serves one showing; destroying it leaves the movie
// playing until the window closes.
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <string>
#include <string_view>

namespace zv {

class MovieView;

class EffectMovieHost {
 public:
  EffectMovieHost() = default;
  EffectMovieHost(const EffectMovieHost&) = delete;
  EffectMovieHost& operator=(const EffectMovieHost&) = delete;

  // The whole showing; returns the control window (null if it could not be made). Files
  // that cannot be written, or an effect folder that is not the user's alone, leave the
  // window keyed with nothing playing (never an older file of the same name).
  QWidget* play(QWidget* hostWindow, std::string_view movie, std::uint32_t keyColour);

  // Makes window transparent, and deaf to clicks, exactly where it shows colour
  // (0x00BBGGRR).
  static void makeLayered(QWidget* window, std::uint32_t colour);

  // The page for a showing in hostWindow: the movie named by the window, played at
  // width x height on colour.
  static std::string buildPage(QWidget* hostWindow, int width, int height, std::uint32_t colour);

  // A child of hostWindow at (left, top, width, height) playing the movie that pageFile
  // names; recorded as this host's control. The page's size is trusted no further than
  // the host window's.
  QWidget* createControl(QWidget* hostWindow, const std::string& pageFile, int left, int top,
                         int width, int height, bool suppressContextMenu);

  // Right-button presses and releases over the control's movie do nothing. The movie's
  // surface may come a little after the control; it is waited for, up to a bound, without
  // blocking. One control at a time has this.
  static void suppressContextMenu(QWidget* controlWindow);

  // The folder the files go to: the user's own, $XDG_RUNTIME_DIR/zorvane or
  // ~/.cache/zorvane/run (see userRuntimeFolder). It is made when a showing needs it; one
  // that cannot be used is reported once on the standard error, and nothing plays.
  static std::string effectFolder();
  // The id of the window (or of the window a layer lies in), which names the files of its
  // showings.
  static std::uint64_t windowNumber(QWidget* window);

  // Whether the movie is drawn at the screen's refresh rate (the default) or at its own
  // frame rate; for the controls made after the call.
  void setSmooth(bool smooth) { smooth_ = smooth; }

  const std::string& pageText() const { return pageText_; }
  const std::string& pageFile() const { return pageFile_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  QWidget* controlWindow_ = nullptr;  // not owned: a child of the host window
  QPointer<MovieView> control_;
  std::string pageText_;
  std::string pageFile_;
  std::uint32_t keyColour_ = 0;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  QWidget* hostWindow_ = nullptr;
  bool smooth_ = true;
};

}  // namespace zv
