#pragma once

namespace vpl {

class Program;

// Makes `program` open the real windows.
void installWindows(Program& program);

}  // namespace vpl
