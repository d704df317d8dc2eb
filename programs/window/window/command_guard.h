#pragma once
// Pending events run inside START whenever it shows a message; a click on any command then must
// not start another one inside it, since all work on the one scan state. Marks a command as
// running for as long as the guard lives.

namespace tivenor {

class CommandGuard {
 public:
  explicit CommandGuard(bool& running) : running_(running) { running_ = true; }
  ~CommandGuard() { running_ = false; }
  CommandGuard(const CommandGuard&) = delete;
  CommandGuard& operator=(const CommandGuard&) = delete;

 private:
  bool& running_;
};

}  // namespace tivenor
