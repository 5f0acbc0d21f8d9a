// The machine a run measured: processor, cores, memory, system version and date, as Markdown.
#pragma once

#include <string>

namespace iconvale::bench {

std::string MachineDescription();

}  // namespace iconvale::bench
