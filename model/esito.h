// The outcome of a step that can meet a run-time failure while the descriptions are read: a
// read past the end of the data, a value too wide for its field, an access outside the route
// model. A failure travels back by return value to the one handler of the reading, which turns
// it into code 25; nothing is thrown.
#pragma once

namespace scenario {

class [[nodiscard]] Esito {
 public:
  static constexpr Esito fatto() { return Esito(true); }
  static constexpr Esito guasto() { return Esito(false); }
  constexpr bool ok() const { return ok_; }
  constexpr bool operator!() const { return !ok_; }

 private:
  constexpr explicit Esito(bool ok) : ok_(ok) {}
  bool ok_;
};

}  // namespace scenario
