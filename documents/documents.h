// Scenario documents: the five embedded text documents and the writers that put them, whole,
// into the program's folder.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace scenario {

// The embedded documents, each as its lines (without line ends), in order. The bytes are
// Windows-1252.
std::span<const std::string_view> righe_linea();         // line description
std::span<const std::string_view> righe_treno();         // train description
std::span<const std::string_view> righe_note();          // notes
std::span<const std::string_view> righe_rallentamenti(); // slowdown order
std::span<const std::string_view> righe_scheda_treno();  // timetable sheet

}  // namespace scenario

#include "documents/scrittore.h"
