#pragma once
// The program's message boxes: task-modal, owned by no window. Tests script the answers
// instead of waiting for a person.
#include <deque>
#include <string>
#include <vector>

namespace zv {

enum class MessageButtons { Ok, OkCancel };
enum class MessageIcon { None, Information, Warning };
enum class MessageAnswer { Ok, Cancel };

struct MessageRequest {
  std::string text;
  std::string title;
  MessageButtons buttons = MessageButtons::Ok;
  MessageIcon icon = MessageIcon::None;
};

class MessageBoxes {
 public:
  // The title of a box that names none of its own.
  static constexpr const char* kDefaultTitle = "信息：";

  // Shows the box and returns when the operator has closed it. Esc or closing the box
  // answers Cancel where there is a Cancel button.
  static MessageAnswer show(const std::string& text, const std::string& title = kDefaultTitle,
                            MessageButtons buttons = MessageButtons::Ok,
                            MessageIcon icon = MessageIcon::None);

  // Tells the operator that a file could not be written, naming it.
  static void reportWriteFailure(const std::string& path);

  // For tests: while scripted, no box is shown; the queued answers are given in turn,
  // then OK. Every request is recorded either way.
  static void setScripted(bool scripted);
  static void setNextAnswer(MessageAnswer answer);
  static const std::vector<MessageRequest>& shown();
  static void clearShown();
};

}  // namespace zv
