#pragma once
// The observable state of a running game as JSON, for tests and automation.
#include <nlohmann/json.hpp>

namespace orv {

class TForm1;
nlohmann::json DumpState(const TForm1& form);

}  // namespace orv
