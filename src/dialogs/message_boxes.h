#pragma once
// The program's message boxes: task-modal, owned by no window. Tests script the answers
// instead of waiting for a person.
#include <deque>
#include <string>
#include <vector>

namespace zv {

// 确定 alone; 确定 and 取消 with 确定 the default; 确定 and 取消 with 取消 the default, for
// questions whose 确定 cannot be undone (Enter or Space on a fresh box answers 取消).
enum class MessageButtons { Ok, OkCancel, OkCancelDefaultCancel };
enum class MessageIcon { None, Information, Warning, Question };
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

  // Asks before something that cannot be undone: true only for 确定.
  static bool confirm(const std::string& text, const std::string& title = kDefaultTitle);

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
